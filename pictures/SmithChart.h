// SPDX-License-Identifier: GPL-3.0-or-later
// The Smith chart of a sweep's feed impedance, normalised to Z0.
#pragma once

#include <QPainter>
#include <QSizeF>
#include <vector>

#include "SolveResult.h"

namespace velkora {

// The indices of the sweep points whose frequency the locus names: both
// ends, the point nearest f0, and a few between, no more than `most`.
std::vector<std::size_t> LabelledPoints(const std::vector<FrequencyFigures>& sweep, double f0,
                                        std::size_t most);

void PaintSmith(QPainter& painter, const QSizeF& size, const std::vector<FrequencyFigures>& sweep,
                double f0, double z0, const QString& title);

}  // namespace velkora
