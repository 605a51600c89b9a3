// SPDX-License-Identifier: GPL-3.0-or-later
// The azimuth and elevation plots of one frequency on the ARRL log scale.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <vector>

#include "PictureScales.h"
#include "SolveResult.h"

namespace velkora {

// The cut's points in units of the outer ring's radius: the cut's maximum on
// the outer ring, every other direction by its dB below it.
std::vector<PlotPoint> PolarTrace(PolarView view, const std::vector<CutPoint>& cut);

// An elevation cut over ground ends at the horizon behind (180 degrees), so
// only the upper half of the plot is drawn.
bool IsUpperHalf(PolarView view, const std::vector<CutPoint>& cut);

// The plot's centre and outer radius in a box, in pixels: a whole circle, or
// for the upper half a half circle standing on the box's lower part.
struct PolarFrame {
    double cx;
    double cy;
    double radius;
};
PolarFrame PolarFrameOf(double left, double top, double width, double height, bool upperHalf);

void PaintPolar(QPainter& painter, const QSizeF& size, PolarView view,
                const FrequencyFigures& figures, const QString& title);

}  // namespace velkora
