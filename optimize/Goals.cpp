// SPDX-License-Identifier: GPL-3.0-or-later
// The goals' names and the score of a design's figures.
#include "Goals.h"

#include <algorithm>
#include <cmath>

namespace velkora {

std::span<const GoalRow> GoalRows() {
    static constexpr GoalRow rows[] = {
        {"gain", &GoalWeights::gain},      {"fb", &GoalWeights::frontToBack},
        {"fr", &GoalWeights::frontToRear}, {"swr", &GoalWeights::swr},
        {"x", &GoalWeights::reactance},
    };
    return rows;
}

bool Better(const Score& a, const Score& b) {
    if (a.Feasible() != b.Feasible()) return a.Feasible();
    if (!a.Feasible()) return a.swrExcess < b.swrExcess;
    return a.value > b.value;
}

namespace {

// A ratio above this is a null at one frequency and one direction: counting
// it would trade real gain for a depth nobody can use.
constexpr double kDeepestCountedDb = 30;

template <class Figure>
double Worst(const std::vector<FrequencyFigures>& band, Figure figure) {
    double worst = figure(band.front());
    for (const FrequencyFigures& row : band) worst = std::min(worst, figure(row));
    return worst;
}

}  // namespace

Score ScoreOf(const std::vector<FrequencyFigures>& band, const FrequencyFigures& atF0,
              const Goals& goals) {
    double gain = 0;
    for (const FrequencyFigures& row : band) gain += row.forwardGain;
    gain /= static_cast<double>(band.size());
    const double frontToBack =
        Worst(band, [](const auto& row) { return std::min(row.frontToBack, kDeepestCountedDb); });
    const double frontToRear = Worst(band, [](const auto& row) {
        return std::min({row.frontToRearE, row.frontToRearH, kDeepestCountedDb});
    });
    const double swr = -Worst(band, [](const auto& row) { return -row.swr; });

    const GoalWeights& w = goals.weights;
    Score score;
    score.value = w.gain * gain + w.frontToBack * frontToBack + w.frontToRear * frontToRear -
                  w.swr * swr - w.reactance * std::abs(atF0.reactance);
    if (goals.maxSwr) score.swrExcess = std::max(0.0, swr - *goals.maxSwr);
    return score;
}

}  // namespace velkora
