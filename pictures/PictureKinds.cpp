// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the five pictures.
#include "PictureKinds.h"

#include "GeometryPlot.h"
#include "PictureStyle.h"
#include "PolarPlot.h"
#include "SmithChart.h"
#include "SwrPlot.h"

namespace velkora {

namespace {

// The pattern plots are drawn at the frequency nearest F0.
void Polar(PolarView view, QPainter& painter, const QSizeF& size, const PictureInput& input) {
    PaintPolar(painter, size, view, *FiguresNearest(input.sweep, input.f0), input.title);
}

const std::vector<PictureKind> kKinds = {
    {"azimuth", "Azimuth pattern", true, QSize(760, 820), false,
     [](QPainter& p, const QSizeF& s, const PictureInput& in) {
         Polar(PolarView::Azimuth, p, s, in);
     }},
    {"elevation", "Elevation pattern", true, QSize(760, 820), false,
     [](QPainter& p, const QSizeF& s, const PictureInput& in) {
         Polar(PolarView::Elevation, p, s, in);
     }},
    {"swr", "SWR, R and X", true, QSize(760, 620), false,
     [](QPainter& p, const QSizeF& s, const PictureInput& in) {
         PaintSwr(p, s, in.sweep, in.f0, in.z0, in.title);
     }},
    {"smith", "Smith chart", true, QSize(760, 800), false,
     [](QPainter& p, const QSizeF& s, const PictureInput& in) {
         PaintSmith(p, s, in.sweep, in.f0, in.z0, in.title);
     }},
    {"geometry", "The antenna to scale", false, QSize(1100, 700), true, PaintGeometry},
};

}  // namespace

const std::vector<PictureKind>& PictureKinds() { return kKinds; }

const PictureKind* FindPictureKind(const QString& name) {
    for (const PictureKind& kind : kKinds)
        if (name == kind.name) return &kind;
    return nullptr;
}

QString PictureKindNames() {
    QStringList names;
    for (const PictureKind& kind : kKinds) names << kind.name;
    return names.join('|');
}

void PaintPicture(const PictureKind& kind, QPainter& painter, const QSizeF& size,
                  const PictureInput& input) {
    QString problem = input.geometryProblem;
    if (kind.needsSolver && problem.isEmpty()) problem = input.solveProblem;
    if (kind.needsSolver && problem.isEmpty() && input.sweep.empty())
        problem = "The solver gave no frequencies to draw.";
    if (!problem.isEmpty())
        PaintReason(painter, size, input.title, problem);
    else
        kind.paint(painter, size, input);
}

}  // namespace velkora
