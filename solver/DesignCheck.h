// SPDX-License-Identifier: GPL-3.0-or-later
// The warnings about a design that the Check window lists and velkora-cli
// check prints: places where the models come out other than the designer
// may think.
#pragma once

#include <string>
#include <vector>

#include "ModelWriters.h"

namespace velkora {

// Each warning is one sentence naming the element or field it is about.
// In the order: the source, the elements, the values the writers refuse,
// the segments of the NEC-2 model solve runs (corrected taper, free space).
// Throws Failure only when the store cannot be read.
std::vector<std::string> DesignWarnings(const ModelJob& job);

// The shortest NEC-2 segment, in wire radii, that the thin-wire kernel
// models well.
inline constexpr double kShortestSegmentInRadii = 8.0;

}  // namespace velkora
