// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli report: one printable HTML page with the figures, pictures,
// element table and cut list of every project asked for.
#include <QStandardPaths>
#include <QTextStream>
#include <future>

#include "Cli.h"
#include "CliSupport.h"
#include "CliVerbs.h"
#include "GenerationQueries.h"
#include "ModelArguments.h"
#include "ModelFile.h"
#include "NecDeck.h"
#include "ReadSnapshot.h"
#include "ReportHtml.h"
#include "SolveOptions.h"
#include "StoreFileGuard.h"

namespace velkora {

namespace {

struct ReportRequest {
    CliArguments parsed;
    QString output;
    SolveSettings solve;
};

ReportRequest ParseReport(const QStringList& args) {
    ReportRequest request;
    request.parsed = ParseArguments(
        args, {"report",
               {"output", "project", "axis", "taper", "ground", "z0", "timeout", "data-link"},
               {},
               0,
               {"project"}});
    request.output = request.parsed.Required("output");
    if (!request.output.endsWith(".html", Qt::CaseInsensitive) &&
        !request.output.endsWith(".htm", Qt::CaseInsensitive))
        throw UsageError(QString("--output names an .html file, not \"%1\"").arg(request.output));
    request.solve = SolveSettingsOf(request.parsed);
    return request;
}

// The projects --project names, in the order given, or every project.
std::vector<ProjectRow> ChosenProjects(const QSqlDatabase& db, const CliArguments& parsed) {
    std::vector<ProjectRow> rows;
    if (!parsed.lists.contains("project")) {
        for (const ProjectSummary& summary : ListProjects(db))
            rows.push_back(ReadProjectRow(db, summary.id).value());
        return rows;
    }
    for (const QString& id : parsed.lists.value("project")) {
        CliArguments one = parsed;
        one.values.insert("project", id);
        rows.push_back(ChosenProject(db, one));
    }
    return rows;
}

// One project: its geometry, and the job that solves it over its band.
struct ProjectWork {
    PictureInput input;
    std::optional<SolveJob> job;
};

std::vector<ProjectWork> ReadProjects(const ReportRequest& request) {
    const CliConnection connection(DataLinkOf(request.parsed));
    const ReadSnapshot snapshot(connection.Db());  // every project from one state of the store
    SqlModelSource source(connection.Db());
    const RegionalMarks marks;
    std::vector<ProjectWork> work;
    for (const ProjectRow& project : ChosenProjects(connection.Db(), request.parsed)) {
        ProjectWork one{GeometryInput(project, source), {}};
        one.input.z0 = request.solve.z0;
        if (one.input.geometryProblem.isEmpty()) {
            NecOptions options = request.solve.nec;
            options.sweep = PictureBand(one.input.f0);
            try {
                one.job = SolveJobOf({project, source, request.solve.axis, marks}, options,
                                     request.solve.z0);
            } catch (const Failure& failure) {
                one.input.solveProblem = QString::fromStdString(failure.Message());
            }
        }
        work.push_back(std::move(one));
    }
    return work;
}

// One project's figures; a project that nec2c refuses says why on the page.
void SolveOne(ProjectWork& one, double timeout, const StopOnSignals& stop) {
    try {
        one.input.sweep = SolveWithProgress(*one.job, timeout, stop);
    } catch (const Failure& failure) {
        if (stop.Requested()) throw;
        one.input.solveProblem = QString::fromStdString(failure.Message());
    }
}

// The projects are solved side by side, so that one project's nec2c runs
// while another's report is read. A signal stops them all.
void SolveProjects(std::vector<ProjectWork>& work, const ReportRequest& request) {
    const StopOnSignals stop(1);
    std::vector<std::future<void>> runs;
    for (ProjectWork& one : work)
        if (one.job)
            runs.push_back(std::async(std::launch::async, [&one, &request, &stop] {
                SolveOne(one, request.solve.timeout, stop);
            }));
    for (std::future<void>& run : runs) run.get();
}

}  // namespace

// Writes the page as generate writes a model: complete or not at all. A
// project that cannot be drawn or solved says why on the page; the command
// then names it on standard error and exits 1, the page written.
int ReportVerb(const QStringList& args, QTextStream& out) {
    const ReportRequest request = ParseReport(args);
    if (QStandardPaths::findExecutable("nec2c").isEmpty())
        throw Failure(
            "nec2c was not found on PATH; the report needs it for its figures: install the NEC-2 "
            "engine with \"apt-get install nec2c\" (Debian package nec2c)");
    RefuseStoreFileAsOutput(request.output, StoreFilesOf(DataLinkOf(request.parsed)));
    std::vector<ProjectWork> work = ReadProjects(request);
    SolveProjects(work, request);
    std::vector<PictureInput> inputs;
    QStringList problems;
    for (ProjectWork& one : work) {
        for (const QString& problem : {one.input.geometryProblem, one.input.solveProblem})
            if (!problem.isEmpty()) problems << OneLine(one.input.title) + ": " + problem;
        inputs.push_back(std::move(one.input));
    }
    const QString settings =
        QString("taper %1, ground %2, SWR against %3 ohm")
            .arg(TaperName(request.solve.nec.taper), GroundName(request.solve.nec.ground))
            .arg(request.solve.z0);
    WriteModelFile(PathBytes(request.output), ReportHtml(inputs, settings));
    out << QString("Wrote %1 with %2 project(s)\n").arg(request.output).arg(inputs.size());
    if (problems.isEmpty()) return kCliSuccess;
    QTextStream err(stderr);
    for (const QString& problem : problems) err << "velkora-cli: " << problem << "\n";
    return kCliFailure;
}

}  // namespace velkora
