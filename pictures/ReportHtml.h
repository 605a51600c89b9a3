// SPDX-License-Identifier: GPL-3.0-or-later
// The printable report of many designs: one self-contained HTML page with
// each project's figures, its five pictures inline as SVG, its element table
// and its cut list.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "PictureInput.h"

namespace velkora {

// The rows of the figures table: the sweep's first point, the one nearest
// f0 and the last, each once.
std::vector<std::size_t> ReportedPoints(const std::vector<FrequencyFigures>& sweep, double f0);

// The page as UTF-8. settings says how the figures were computed (taper,
// ground, Z0); every text from the store is escaped.
std::string ReportHtml(const std::vector<PictureInput>& projects, const QString& settings);

}  // namespace velkora
