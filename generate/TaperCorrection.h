// SPDX-License-Identifier: GPL-3.0-or-later
// The uniform element that stands in for a tapered one in a NEC-2 model.
// NEC-2 models the steps between tubes poorly, so each stepped element is
// replaced by one straight wire of a single diameter that resonates as the
// stepped element does at the design frequency.
#pragma once

#include <vector>

namespace velkora {

// One tube of a half element as the element uses it: the length it covers
// (metres, from its inner end outwards) and its diameter (millimetres).
struct TubePiece {
    double length;
    double diameter;
};

struct UniformElement {
    double halfLength;  // metres, boom centre to tip
    double diameter;    // millimetres
};

// pieces run from the boom outwards and cover the half element; their
// lengths must be positive. The half element is taken as a chain of
// open-ended transmission-line sections, one per tube, each of the
// characteristic impedance of a thin cylinder, 120 (ln(2h/a) - 1) ohm for the
// half-length h and radius a. The reactance at the feed point is carried
// from the tip inwards; the uniform element has the tubes' length-weighted
// mean diameter and the half-length whose line shows the same reactance.
UniformElement EquivalentUniformElement(const std::vector<TubePiece>& pieces, double frequencyMHz);

}  // namespace velkora
