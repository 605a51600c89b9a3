// SPDX-License-Identifier: GPL-3.0-or-later
// The wires and the source of a project, as the pictures draw them.
#include "PictureInput.h"

#include <cmath>

#include "ModelWriters.h"
#include "RegionalMarks.h"

namespace velkora {

namespace {

bool HasWires(const std::vector<NumberedElement>& elements) {
    for (const NumberedElement& element : elements)
        if (!element.wires.empty()) return true;
    return false;
}

QString ProblemText(const Failure& failure) {
    const QString message = QString::fromStdString(failure.Message());
    if (failure.Where().empty()) return message;
    return QString::fromStdString(failure.Where()) + ": " + message;
}

// A new project has no name or source yet; the model writer's check below
// names what is missing.
QString TextOrEmpty(const DbValue& value) {
    return value.IsNull() ? QString() : QString::fromStdString(value.ToText());
}

}  // namespace

PictureInput GeometryInput(const ProjectRow& project, ModelSource& source) {
    PictureInput input;
    input.title = TextOrEmpty(project.nome);
    input.sourceText = TextOrEmpty(project.sourceWire);
    try {
        input.source = ParseSourceWire(project.sourceWire.ToText());
    } catch (const Failure&) {
        // Drawn without a feed mark; the picture names the text it could not place.
    }
    try {
        // The model writer's checks decide what cannot be drawn, so a picture
        // never shows an antenna that no model file would hold.
        const RegionalMarks marks;
        static_cast<void>(MmanaModelText({project, source, MainLobeAxis::X, marks}));
        input.f0 = DoubleOfField(project.f0, "F0");
        input.elements = NumberMmanaWires(project.id, source, MainLobeAxis::X);
    } catch (const Failure& failure) {
        input.geometryProblem = ProblemText(failure);
        input.elements.clear();
        return input;
    }
    if (input.elements.empty())
        input.geometryProblem = "The project has no elements: add them on the Elements page.";
    else if (!HasWires(input.elements))
        input.geometryProblem =
            "No element has wires: give the elements a taper schedule with sections.";
    return input;
}

FrequencySweep PictureBand(double f0) {
    constexpr double kShare = 0.015;
    constexpr int kSteps = 20;
    return {f0 * (1 - kShare), f0 * (1 + kShare), 2 * kShare * f0 / kSteps};
}

const FrequencyFigures* FiguresNearest(const std::vector<FrequencyFigures>& sweep, double f0) {
    const FrequencyFigures* nearest = nullptr;
    for (const FrequencyFigures& figures : sweep)
        if (nearest == nullptr || std::abs(figures.mhz - f0) < std::abs(nearest->mhz - f0))
            nearest = &figures;
    return nearest;
}

}  // namespace velkora
