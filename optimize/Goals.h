// SPDX-License-Identifier: GPL-3.0-or-later
// What the optimizer aims at: weighted goals over the band and a hard limit
// on the SWR, and the score of one design's figures under them.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "SolveResult.h"

namespace velkora {

struct GoalWeights {
    double gain = 1;         // per dB of average forward gain over the band
    double frontToBack = 1;  // per dB of the worst F/B over the band, up to 30 dB
    double frontToRear = 0;  // per dB of the worst F/R (either plane) over the band, up to 30 dB
    double swr = 0;          // per unit of the worst SWR over the band, counted against
    double reactance = 0;    // per ohm of |X| at F0, counted against
};

// One goal as --goal names it.
struct GoalRow {
    std::string_view name;
    double GoalWeights::*weight;
};
std::span<const GoalRow> GoalRows();

struct Goals {
    GoalWeights weights;
    std::optional<double> maxSwr;  // a design above it never wins
};

struct Score {
    double value = 0;      // higher is better
    double swrExcess = 0;  // how far the worst SWR is above the limit; 0 within it
    bool Feasible() const { return swrExcess <= 0; }
};

// Whether a is a better design than b: within the SWR limit beats beyond it;
// beyond it, the smaller excess wins; within it, the higher value.
bool Better(const Score& a, const Score& b);

// The score of the band's figures (at least one) and the figures at F0.
Score ScoreOf(const std::vector<FrequencyFigures>& band, const FrequencyFigures& atF0,
              const Goals& goals);

}  // namespace velkora
