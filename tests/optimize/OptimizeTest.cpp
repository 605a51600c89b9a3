// SPDX-License-Identifier: GPL-3.0-or-later
// The design space, the score and the search against a fake engine whose
// figures are plain functions of the elements' lengths and positions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Search.h"

namespace velkora {
namespace {

// Three elements on one schedule, as the store yields them.
Design ThreeElements() {
    const auto element = [](std::int64_t id, double len, double distance) {
        return ElementRow{DbValue::Integer(id),     DbValue::Integer(1), DbValue::Text("E"),
                          DbValue::Text("Element"), DbValue::Real(len),  DbValue::Integer(1),
                          DbValue::Real(distance),  DbValue::Real(0)};
    };
    return {{DbValue::Integer(1), DbValue::Text("Test"), DbValue::Real(28.5), DbValue::Text("w2c"),
             DbValue::Integer(0)},
            {element(1, 2.7, 0.5), element(2, 2.5, 1.8), element(3, 2.4, 3.5)},
            {{DbValue::Integer(1), DbValue::Integer(1), DbValue::Real(16), DbValue::Real(4)}}};
}

// Gain peaks where the lengths and the gaps take made-up best values; the
// SWR rises as the driven element (the second) grows.
class FakeEngine : public DesignEvaluator {
  public:
    int runs = 0;
    std::vector<FrequencyFigures> Evaluate(const Design& design,
                                           const std::optional<FrequencySweep>&) override {
        ++runs;
        const auto len = [&](int i) { return design.elements[i].len.ToDouble(); };
        const auto at = [&](int i) { return design.elements[i].distance.ToDouble(); };
        FrequencyFigures row;
        row.mhz = 28.5;
        row.forwardGain = 8 - 10 * (std::pow(len(0) - 2.85, 2) + std::pow(len(2) - 2.3, 2) +
                                    std::pow(at(1) - at(0) - 1.2, 2));
        row.frontToBack = 20 - 5 * std::pow(at(2) - at(1) - 1.6, 2);
        row.frontToRearE = row.frontToRearH = row.frontToBack;
        row.swr = 1 + 4 * std::max(0.0, len(1) - 2.5);
        return {row};
    }
};

struct SpaceCase {
    const char* name;
    VaryOptions vary;
};

class DesignSpaceTest : public ::testing::TestWithParam<SpaceCase> {};

// Every point of the space, corners included, is a design of the start's
// boom, in the start's order, with each value within the range.
TEST_P(DesignSpaceTest, KeepsTheBoomTheOrderAndTheRange) {
    const Design start = ThreeElements();
    const VaryOptions vary = GetParam().vary;
    const DesignSpace space(start, vary);
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> corner(-1, 1);
    std::uniform_real_distribution<double> inside(-1, 1);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<double> point(space.Dimension());
        for (double& x : point) x = trial % 2 ? corner(random) : inside(random);
        const Design design = space.At(point);
        for (std::size_t i = 0; i < 3; ++i) {
            const double len = design.elements[i].len.ToDouble();
            const double startLen = start.elements[i].len.ToDouble();
            const double offset = design.elements[i].distance.ToDouble() - 0.5;
            const double startOffset = start.elements[i].distance.ToDouble() - 0.5;
            const double lenRange = vary.lengths ? vary.range : 0;
            const double placeRange = vary.positions ? vary.range : 0;
            EXPECT_LE(std::abs(len - startLen), startLen * lenRange + 5e-5);
            EXPECT_LE(std::abs(offset - startOffset), startOffset * placeRange + 5e-5);
            EXPECT_LE(offset, 3.0);  // the boom never grows
            if (i > 0) {
                EXPECT_GT(design.elements[i].distance.ToDouble(),
                          design.elements[i - 1].distance.ToDouble());
            }
            EXPECT_EQ(design.elements[i].idTaper, start.elements[i].idTaper);
            EXPECT_EQ(design.elements[i].height, start.elements[i].height);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, DesignSpaceTest,
                         ::testing::Values(SpaceCase{"Default", {}},
                                           SpaceCase{"Widest", {true, true, 0.5}},
                                           SpaceCase{"LengthsOnly", {true, false, 0.2}},
                                           SpaceCase{"PositionsOnly", {false, true, 0.3}}),
                         [](const auto& row) { return std::string(row.param.name); });

FrequencyFigures Row(double gain, double frontToBack, double frontToRear, double swr, double x) {
    FrequencyFigures row;
    row.forwardGain = gain;
    row.frontToBack = frontToBack;
    row.frontToRearE = frontToRear;
    row.frontToRearH = frontToRear + 1;
    row.swr = swr;
    row.reactance = x;
    return row;
}

TEST(GoalsTest, ScoresAverageGainAndTheWorstOfTheBand) {
    const std::vector<FrequencyFigures> band = {Row(10, 20, 15, 1.5, 0), Row(12, 30, 25, 2.5, 0)};
    struct Case {
        const char* name;
        GoalWeights weights;
        double score;
    } cases[] = {
        {"AverageGain", {1, 0, 0, 0, 0}, 11},
        {"WorstFrontToBack", {0, 1, 0, 0, 0}, 20},
        {"WorstFrontToRear", {0, 0, 1, 0, 0}, 15},
        {"WorstSwrCountsAgainst", {0, 0, 0, 2, 0}, -5},
        {"ReactanceAtF0CountsAgainst", {0, 0, 0, 0, 0.5}, -4},
        {"Weighted", {2, 0.5, 0, 0, 0}, 32},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ScoreOf(band, Row(0, 0, 0, 0, -8), {c.weights, {}}).value, c.score)
            << c.name;
    const std::vector<FrequencyFigures> deep = {Row(10, 45, 40, 1, 0)};
    EXPECT_DOUBLE_EQ(ScoreOf(deep, deep[0], {{0, 1, 1, 0, 0}, {}}).value, 60)
        << "a null deeper than 30 dB counts as 30";
    const Score over = ScoreOf(band, band[0], {{}, 2.0});
    EXPECT_DOUBLE_EQ(over.swrExcess, 0.5);
    EXPECT_TRUE(Better(Score{-100, 0}, over));  // within the limit beats any score beyond it
}

struct Outcome {
    std::vector<double> point;
    Score score;
    int runs;
};

Outcome Optimized(const Goals& goals, const SearchOptions& options) {
    const DesignSpace space(ThreeElements(), {});
    FakeEngine engine;
    Objective objective(space, engine, goals, std::nullopt);
    EXPECT_FALSE(Search(
        objective, options, [] { return false; }, [](const Objective&) {}));
    EXPECT_EQ(objective.Runs(), engine.runs);
    return {objective.Best().point, objective.Best().score, objective.Runs()};
}

TEST(SearchTest, FindsTheBestWithinTheBudgetAndTheSameSeedGivesTheSameDesign) {
    const Goals goals{{1, 0, 0, 0, 0}, {}};
    const Outcome first = Optimized(goals, {200, 5});
    EXPECT_EQ(first.runs, 200);
    EXPECT_NEAR(first.score.value, 8, 0.01);
    const Outcome again = Optimized(goals, {200, 5});
    EXPECT_EQ(again.point, first.point);
    for (const SearchMethodRow& row : SearchMethods())
        EXPECT_GT(Optimized(goals, {150, 1, row.method}).score.value, 7.9) << row.name;
}

TEST(SearchTest, ADesignBeyondTheSwrLimitNeverWins) {
    // The gain would want the driven element longer; the limit holds it.
    FakeEngine engine;
    const Outcome outcome = Optimized({{1, 0, 0, 0, 0}, 1.2}, {300, 3});
    EXPECT_TRUE(outcome.score.Feasible());
    const Design best = DesignSpace(ThreeElements(), {}).At(outcome.point);
    EXPECT_LE(engine.Evaluate(best, std::nullopt).front().swr, 1.2);
}

TEST(SearchTest, StopsWhenAskedAndKeepsTheBestSoFar) {
    const DesignSpace space(ThreeElements(), {});
    FakeEngine engine;
    Objective objective(space, engine, {}, std::nullopt);
    bool stop = false;
    const bool stopped = Search(
        objective, {500, 1}, [&] { return stop; },
        [&](const Objective& o) { stop = o.Runs() == 40; });
    EXPECT_TRUE(stopped);
    EXPECT_EQ(objective.Runs(), 40);
    EXPECT_FALSE(Better(objective.Start().score, objective.Best().score));
}

TEST(SearchTest, AFailingRunEndsTheSearchWithItsFailure) {
    struct Failing : FakeEngine {
        std::vector<FrequencyFigures> Evaluate(const Design& design,
                                               const std::optional<FrequencySweep>& band) override {
            if (runs == 10) throw Failure("nec2c is gone");
            return FakeEngine::Evaluate(design, band);
        }
    } engine;
    const DesignSpace space(ThreeElements(), {});
    Objective objective(space, engine, {}, std::nullopt);
    EXPECT_THROW(Search(
                     objective, {100, 1}, [] { return false; }, [](const Objective&) {}),
                 Failure);
}

}  // namespace
}  // namespace velkora
