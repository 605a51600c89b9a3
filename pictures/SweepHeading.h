// SPDX-License-Identifier: GPL-3.0-or-later
// The heading of a picture drawn over a sweep of frequencies.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

#include "SolveResult.h"

namespace velkora {

// Writes the heading, its second line `what` followed by the sweep's range
// ("14.000 to 14.350 MHz"), and returns the height it takes; for an empty
// sweep it writes why nothing is drawn instead and returns nothing.
std::optional<double> PaintSweepHeading(QPainter& painter, const QSizeF& size,
                                        const std::vector<FrequencyFigures>& sweep,
                                        const QString& title, const QString& what);

}  // namespace velkora
