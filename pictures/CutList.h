// SPDX-License-Identifier: GPL-3.0-or-later
// What to cut for one element: its tubes from the centre out, each with its
// diameter and its length on one side of the boom.
#pragma once

#include <vector>

#include "MmanaNumbering.h"

namespace velkora {

struct TubeCut {
    double diameterMm;
    double lengthPerSideM;
};

struct ElementCut {
    std::vector<TubeCut> tubes;  // from the centre out
    double tipToTipM;
};

// From the element's wires: the centre wire holds the first tube of both
// sides, every further pair one tube each side.
ElementCut CutOf(const NumberedElement& element);

}  // namespace velkora
