// SPDX-License-Identifier: GPL-3.0-or-later
// What the solver reads from a report of nec2c: per frequency the source's
// impedance and the total power gains of each pattern the deck asked for.
#pragma once

#include <string_view>
#include <vector>

namespace velkora {

struct PatternGain {
    double theta;  // degrees
    double phi;    // degrees
    double total;  // dBi
};

struct FrequencyReport {
    double mhz = 0;
    double resistance = 0;  // ohm, at the source
    double reactance = 0;   // ohm
    // One entry per "RADIATION PATTERNS" block after the frequency, in the
    // order of the deck's RP cards.
    std::vector<std::vector<PatternGain>> patterns;
};

// One entry per "FREQUENCY" block of the report, in its order. Throws
// Failure when a block lacks the input parameters or a pattern.
std::vector<FrequencyReport> ParseNecReport(std::string_view report);

// How many frequencies a report, perhaps still being written, holds so far.
int FrequenciesIn(std::string_view report);

}  // namespace velkora
