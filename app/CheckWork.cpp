// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a design for the Check window and working out its pictures'
// input and its warnings.
#include "CheckWork.h"

#include <tuple>

#include "DesignCheck.h"
#include "ProjectStore.h"
#include "RegionalMarks.h"
#include "Solver.h"

namespace velkora {

namespace {

constexpr double kCheckZ0 = 50;

auto Fields(const ProjectRow& row) {
    return std::tie(row.id, row.nome, row.f0, row.sourceWire, row.height);
}

auto Fields(const ElementRow& row) {
    return std::tie(row.id, row.idProject, row.nome, row.type, row.len, row.idTaper, row.distance,
                    row.height);
}

auto Fields(const TaperSection& row) {
    return std::tie(row.idTaper, row.order, row.diameter, row.length);
}

template <class Row>
bool SameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Row& x, const Row& y) { return Fields(x) == Fields(y); });
}

QString TextOf(const std::exception& failure) {
    if (const auto* own = dynamic_cast<const Failure*>(&failure)) {
        const QString message = QString::fromStdString(own->Message());
        return own->Where().empty() ? message
                                    : QString::fromStdString(own->Where()) + ": " + message;
    }
    return QString::fromLocal8Bit(failure.what());
}

// The warnings velkora-cli check prints.
QStringList DesignWarningsOf(const Design& design) {
    DesignSource source(design);
    const RegionalMarks marks;
    QStringList warnings;
    for (const std::string& warning :
         DesignWarnings({design.project, source, MainLobeAxis::X, marks}))
        warnings << QString::fromStdString(warning);
    return warnings;
}

// The figures over the band, or in input.solveProblem why there are none.
void Solve(const Design& design, PictureInput& input, const RunControl& control) {
    try {
        DesignSource source(design);
        const RegionalMarks marks;
        NecOptions options;
        options.sweep = CheckBand(input.f0);
        const SolveJob job =
            SolveJobOf({design.project, source, MainLobeAxis::X, marks}, options, kCheckZ0);
        input.sweep = Solve(job, control);
    } catch (const Stopped&) {
        throw;
    } catch (const std::exception& failure) {
        input.solveProblem = TextOf(failure);
    }
}

}  // namespace

std::optional<Design> ReadCurrentDesign(ProjectStore& store) {
    const ReadSnapshot snapshot = store.Snapshot();  // the whole design from one state
    const ProjectRow project = store.ProjectForModel();
    if (project.id.IsNull()) return std::nullopt;
    return ReadDesign(project, store.Queries());
}

bool SameDesign(const Design& a, const Design& b) {
    return Fields(a.project) == Fields(b.project) && SameRows(a.elements, b.elements) &&
           SameRows(a.sections, b.sections);
}

FrequencySweep CheckBand(double f0) {
    constexpr double kShare = 0.015;
    constexpr int kSteps = 4;
    return {f0 * (1 - kShare), f0 * (1 + kShare), 2 * kShare * f0 / kSteps};
}

CheckOutcome NoProjectOutcome() {
    CheckOutcome outcome;
    outcome.input.geometryProblem = "There is no project: add one in the projects grid.";
    return outcome;
}

CheckOutcome CheckDesign(const Design& design, const RunControl& control) {
    CheckOutcome outcome;
    try {
        DesignSource source(design);
        outcome.input = GeometryInput(design.project, source);
    } catch (const std::exception& failure) {
        outcome.input.geometryProblem = TextOf(failure);
    }
    try {
        outcome.warnings = DesignWarningsOf(design);
    } catch (const std::exception& failure) {
        outcome.warnings << "The checks could not run: " + TextOf(failure);
    }
    outcome.input.z0 = kCheckZ0;
    if (outcome.input.geometryProblem.isEmpty()) Solve(design, outcome.input, control);
    return outcome;
}

}  // namespace velkora
