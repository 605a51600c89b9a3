// SPDX-License-Identifier: GPL-3.0-or-later
// Straight wires of a model file (MMANA, NEC-2) gathered into Yagi elements:
// the boom axis found from the wires, collinear wires at one boom position
// and height made one element, its pieces from the centre out made tubes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DesignOutline.h"
#include "SourceText.h"

namespace velkora {

struct FileWire {
    std::size_t line;
    double x1, y1, z1, x2, y2, z2;  // metres
    double radiusM;
    // The radius as the file wrote it, when it was written with few decimals
    // (MMANA); the diameter is then chosen so that it is written alike again.
    std::string radiusText;
};

struct FileFeed {
    std::size_t wire;  // index into the wires
    WirePlace place;
};

struct WireElements {
    std::vector<OutlineElement> elements;
    std::optional<FeedPoint> feed;
    bool boomAlongY;
};

// Refuses, naming the wire's line, a sloping or vertical wire, one that is
// neither along X nor along Y, one across the others, an element with a gap,
// an overlap or a side longer than the other, and an element off the boom.
WireElements GatherElements(const SourceText& text, const std::vector<FileWire>& wires,
                            std::optional<FileFeed> feed);

// The design of the gathered elements under the outline's name, frequency and
// notes; a boom along Y adds a note on the axis its models need.
ImportedDesign DesignFromWires(DesignOutline outline, WireElements found);

}  // namespace velkora
