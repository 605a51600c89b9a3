// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaperWalk.h"

namespace velkora {

std::vector<WireSpan> WalkElement(const ElementRow& element,
                                  const std::vector<TaperSection>& sections, MainLobeAxis axis) {
    std::vector<WireSpan> wires;
    TaperWalk walk(element, axis);
    walk.Run(sections, [&wires](const WireSpan& wire) { wires.push_back(wire); });
    return wires;
}

}  // namespace velkora
