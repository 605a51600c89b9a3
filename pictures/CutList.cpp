// SPDX-License-Identifier: GPL-3.0-or-later
// The cut list of an element, read from its wires.
#include "CutList.h"

#include <cmath>

namespace velkora {

namespace {

double Length(const WireSpan& w) { return std::hypot(w.x2 - w.x1, w.y2 - w.y1, w.z2 - w.z1); }

}  // namespace

ElementCut CutOf(const NumberedElement& element) {
    ElementCut cut{{}, 0};
    for (std::size_t i = 0; i < element.wires.size(); ++i) {
        const WireSpan& wire = element.wires[i];
        if (wire.mirror) continue;
        const bool centre = i == 0 && element.HasCentreWire();
        const double perSide = centre ? Length(wire) / 2 : Length(wire);
        cut.tubes.push_back({wire.diameter, perSide});
        cut.tipToTipM += 2 * perSide;
    }
    return cut;
}

}  // namespace velkora
