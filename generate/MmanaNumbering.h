// SPDX-License-Identifier: GPL-3.0-or-later
// The wire numbers of a project's MMANA model: elements in ascending
// DISTANCE, "Null" elements left out, each element's wires in the walk's
// order (centre wire first). Other models of the project (the NEC-2 deck,
// the wire list of velkora-cli) number wires the same way, so one
// SOURCE_WIRE means the same wire everywhere.
#pragma once

#include <vector>

#include "MainLobeAxis.h"
#include "ModelSource.h"
#include "TaperWalk.h"

namespace velkora {

struct NumberedElement {
    ElementRow element;
    std::vector<WireSpan> wires;  // in the MMANA model's order
    int firstWire;                // the centre wire's number; of the next element when no wires

    int LastWire() const { return firstWire + static_cast<int>(wires.size()) - 1; }
    // The walk yields the centre wire, then pairs: an even count means the
    // first section has length 0 and the element has no centre wire.
    bool HasCentreWire() const { return wires.size() % 2 == 1; }
};

// True for the elements the MMANA model leaves out: TYPE exactly "Null".
bool IsNullElement(const ElementRow& element);

// The numbered elements of the project, "Null" ones left out. Throws
// Failure (a value that is not a number, RefusedValue for one that would make
// a wrong model), whose Where() names the element; the caller names the
// project.
std::vector<NumberedElement> NumberMmanaWires(const DbValue& idProject, ModelSource& source,
                                              MainLobeAxis axis);

}  // namespace velkora
