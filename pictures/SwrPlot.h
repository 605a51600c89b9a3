// SPDX-License-Identifier: GPL-3.0-or-later
// SWR against frequency, with the feed's R and X on a second axis.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <vector>

#include "SolveResult.h"

namespace velkora {

// The SWR axis runs from 1 to the sweep's largest SWR, but no further than
// this: above it a match is of no interest and the curve leaves the plot.
inline constexpr double kMostSwrShown = 10.0;

// The sweep's point of lowest SWR; nullptr for an empty sweep.
const FrequencyFigures* LowestSwr(const std::vector<FrequencyFigures>& sweep);

void PaintSwr(QPainter& painter, const QSizeF& size, const std::vector<FrequencyFigures>& sweep,
              double f0, double z0, const QString& title);

}  // namespace velkora
