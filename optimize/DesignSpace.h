// SPDX-License-Identifier: GPL-3.0-or-later
// The variables of an optimization: each element's half-length and the gaps
// between neighbouring elements, each within a fraction of its start value.
// Every point of the space is a design that can be built from the start's
// tubes on the start's boom.
#pragma once

#include <cstddef>
#include <vector>

#include "Design.h"

namespace velkora {

struct VaryOptions {
    bool lengths = true;
    bool positions = true;
    double range = 0.10;  // a fraction of each start value, above 0 and at most 0.5
};

// A point is a vector of Dimension() numbers in [-1, 1]; 0 everywhere is the
// start design. Varying the gaps keeps the elements' order along the boom,
// and a point whose gaps add up to more than the start's boom gives up the
// excess from every gap in proportion to its room above its lower limit, so
// the boom never grows and each DISTANCE, measured from the rearmost
// element (which stays put), stays within the range of its start value.
// Lengths and positions are rounded to 0.1 mm, as a builder cuts them.
class DesignSpace {
  public:
    // The start's elements in boom order. Throws Failure when LEN or
    // DISTANCE is not a number.
    DesignSpace(const Design& start, const VaryOptions& vary);

    std::size_t Dimension() const;
    Design At(const std::vector<double>& point) const;

  private:
    std::vector<double> Offsets(const double* point) const;

    Design start_;
    VaryOptions vary_;
    std::vector<double> lengths_;  // the start's LEN of each element
    std::vector<double> gaps_;     // the start's gap before each element but the first
    double first_ = 0;             // the rearmost element's DISTANCE
};

}  // namespace velkora
