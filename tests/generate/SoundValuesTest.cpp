// SPDX-License-Identifier: GPL-3.0-or-later
// The values a model refuses, and how their messages show them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "SoundValues.h"
#include "TaperWalk.h"

namespace velkora {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::nan("");

TEST(SoundValues, ValuesReadAsAUserKnowsThem) {
    const std::pair<double, const char*> cases[] = {
        {-0.5, "-0.5"},  {0, "0"},           {-0.0, "-0"},    {144.3, "144.3"},
        {1e20, "1e+20"}, {0.0001, "0.0001"}, {1e-5, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"},
        {kNan, "nan"},   {-kNan, "nan"},     {kInf, "inf"},   {-kInf, "-inf"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(ValueText(value), text) << value;
}

ProjectRow Project(double f0, double height) {
    return ProjectRow{DbValue::Integer(7), DbValue::Text("P"), DbValue::Real(f0),
                      DbValue::Text("w1c"), DbValue::Real(height)};
}

std::optional<std::string> Refusal(auto&& check) {
    try {
        check();
    } catch (const RefusedValue& refused) {
        return refused.Message();
    }
    return std::nullopt;
}

TEST(SoundValues, FrequencyAndGroundHeight) {
    const char* const kF0 = "the design frequency must be a finite number above 0";
    const struct {
        double f0;
        std::optional<std::string> message;
    } frequencies[] = {{144.3, std::nullopt},
                       {0, std::string("F0 is 0; ") + kF0},
                       {-14.2, std::string("F0 is -14.2; ") + kF0},
                       {kInf, std::string("F0 is inf; ") + kF0},
                       {kNan, std::string("F0 is nan; ") + kF0}};
    for (const auto& c : frequencies)
        EXPECT_EQ(Refusal([&] { DesignFrequency(Project(c.f0, 10)); }), c.message) << c.f0;
    EXPECT_EQ(Refusal([] { GroundHeight(Project(14, -3)); }), std::nullopt);
    EXPECT_EQ(Refusal([] { GroundHeight(Project(14, -kInf)); }),
              "HEIGHT is -inf; the height above ground must be a finite number");
}

struct WireCase {
    const char* name;
    MainLobeAxis axis;
    WireSpan wire;
    const char* message;  // nullptr: a sound wire
};

// Test listings show the case by its name.
void PrintTo(const WireCase& c, std::ostream* os) { *os << c.name; }

class WrittenWires : public testing::TestWithParam<WireCase> {};

// The element the wires come from: LEN inf, DISTANCE -inf, HEIGHT nan, so a
// message shows which field it named.
TEST_P(WrittenWires, NameTheFieldThatMadeAnEndPoint) {
    ElementRow element;
    element.len = DbValue::Real(kInf);
    element.distance = DbValue::Real(-kInf);
    element.height = DbValue::Real(kNan);
    const WireCase& c = GetParam();
    const std::optional<std::string> refusal =
        Refusal([&] { CheckWrittenWire(c.wire, element, c.axis); });
    EXPECT_EQ(refusal, c.message ? std::optional<std::string>(c.message) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Wires, WrittenWires,
    testing::Values(
        WireCase{"Sound", MainLobeAxis::X, {0, 0.3, 10, 0, -0.3, 10, 12, false}, nullptr},
        WireCase{"BoomOnX",
                 MainLobeAxis::X,
                 {-kInf, 0.3, 10, -kInf, -0.3, 10, 12, false},
                 "OFFSET is -inf; an element's place along the boom must be a finite number"},
        WireCase{"AcrossOnX",
                 MainLobeAxis::X,
                 {0, 0.3, 10, 0, kInf, 10, 12, false},
                 "SIZE is inf; an element needs a finite half-length"},
        WireCase{"BoomOnY",
                 MainLobeAxis::Y,
                 {0.3, -kInf, 10, -0.3, -kInf, 10, 12, false},
                 "OFFSET is -inf; an element's place along the boom must be a finite number"},
        WireCase{"AcrossOnY",
                 MainLobeAxis::Y,
                 {0.3, 0, 10, kNan, 0, 10, 12, false},
                 "SIZE is inf; an element needs a finite half-length"},
        WireCase{"Height",
                 MainLobeAxis::Y,
                 {0.3, 0, kNan, -0.3, 0, kNan, 12, false},
                 "HEIGHT is nan; an element's height must be a finite number"},
        WireCase{"EndPointsBeforeDiameter",
                 MainLobeAxis::X,
                 {0, 0.3, kNan, 0, 0.5, kNan, 0, true},
                 "HEIGHT is nan; an element's height must be a finite number"},
        WireCase{"DiameterZero",
                 MainLobeAxis::X,
                 {0, 0.3, 10, 0, 0.5, 10, 0, true},
                 "DIAMETER is 0; a tube needs a diameter above 0"},
        WireCase{"DiameterNegative",
                 MainLobeAxis::X,
                 {0, 0.3, 10, 0, 0.5, 10, -12.7, false},
                 "DIAMETER is -12.7; a tube needs a diameter above 0"},
        WireCase{"DiameterInfinite",
                 MainLobeAxis::X,
                 {0, 0.3, 10, 0, 0.5, 10, kInf, false},
                 "DIAMETER is inf; a tube needs a finite diameter"}),
    [](const testing::TestParamInfo<WireCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkora
