// SPDX-License-Identifier: GPL-3.0-or-later
// What every reader finds in its file: elements as tubes from the boom out,
// and where the feed is. BuildDesign turns that into the store's shape:
// elements on shared taper schedules, named, typed, with the source wire.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ImportedDesign.h"
#include "SourceWire.h"

namespace velkora {

// One tube of a half element: its diameter and how far from the boom centre
// it ends (the last tube ends at the tip).
struct Tube {
    double diameterMm;
    double endM;
};

struct OutlineElement {
    double distance;
    double height;
    std::vector<Tube> tubes;  // from the boom out, none empty
};

// The feed: on which element, where along it (metres from the boom, signed
// as the element's axis runs) and which part of the wire there it names.
struct FeedPoint {
    std::size_t element;
    double at;
    WirePlace place;
};

struct DesignOutline {
    std::string title;
    double f0;
    int height;
    std::vector<OutlineElement> elements;  // in the file's order
    std::optional<FeedPoint> feed;
    std::vector<std::string> notes;
};

// Elements in ascending distance (ties in the file's order); elements whose
// tubes agree up to where each ends share one schedule; the fed element is the
// "Driver". The source wire is numbered as the MMANA model of the design
// numbers its wires.
ImportedDesign BuildDesign(DesignOutline outline);

}  // namespace velkora
