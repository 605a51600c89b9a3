// SPDX-License-Identifier: GPL-3.0-or-later
// A design read from another program's file, as the store keeps designs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velkora {

struct ImportedSection {
    double diameterMm;
    double lengthM;  // one side of the boom
};

struct ImportedSchedule {
    std::string nome;
    std::vector<ImportedSection> sections;  // from the boom outwards
};

struct ImportedElement {
    std::string nome;
    std::string type;  // "Driver" or "Element"
    double len;        // half-length, metres
    double distance;   // along the boom, metres
    double height;     // metres
    std::size_t schedule;
};

struct ImportedDesign {
    std::string nome;
    double f0;                              // MHz
    std::string sourceWire;                 // empty when the file feeds no element
    int height;                             // PROJECTS.HEIGHT, metres
    std::vector<ImportedElement> elements;  // in ascending distance
    std::vector<ImportedSchedule> schedules;
    // What the file holds that the design does not keep, for the user.
    std::vector<std::string> notes;
};

}  // namespace velkora
