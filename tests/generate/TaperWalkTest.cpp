// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "Failure.h"
#include "MemoryModelSource.h"
#include "TaperWalk.h"

namespace velkora {
namespace {

using test::Section;

ElementRow Element(DbValue len, DbValue distance, DbValue height) {
    ElementRow element;
    element.nome = DbValue::Text("E");
    element.len = std::move(len);
    element.distance = std::move(distance);
    element.height = std::move(height);
    element.idTaper = DbValue::Integer(1);
    return element;
}

ElementRow Element(double len, double distance, double height) {
    return Element(DbValue::Real(len), DbValue::Real(distance), DbValue::Real(height));
}

std::vector<TaperSection> Lengths(std::initializer_list<double> lengths) {
    std::vector<TaperSection> sections;
    double diameter = 20;
    std::int64_t order = 1;
    for (const double length : lengths) sections.push_back(Section(1, order++, diameter--, length));
    return sections;
}

void ExpectWires(const std::vector<WireSpan>& actual, const std::vector<WireSpan>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < actual.size(); ++k) {
        SCOPED_TRACE("wire " + std::to_string(k + 1));
        EXPECT_DOUBLE_EQ(actual[k].x1, expected[k].x1);
        EXPECT_DOUBLE_EQ(actual[k].y1, expected[k].y1);
        EXPECT_DOUBLE_EQ(actual[k].z1, expected[k].z1);
        EXPECT_DOUBLE_EQ(actual[k].x2, expected[k].x2);
        EXPECT_DOUBLE_EQ(actual[k].y2, expected[k].y2);
        EXPECT_DOUBLE_EQ(actual[k].z2, expected[k].z2);
        EXPECT_DOUBLE_EQ(actual[k].diameter, expected[k].diameter);
        EXPECT_EQ(actual[k].mirror, expected[k].mirror);
    }
}

struct WalkCase {
    const char* name;
    double len;
    double distance;
    MainLobeAxis axis;
    std::vector<double> lengths;
    // Wires as element-axis pairs (a, b), diameter and mirror flag; the boom
    // coordinate is the distance and the height is 10 throughout.
    std::vector<std::tuple<double, double, double, bool>> wires;
};

// Test listings show the case by its name.
void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }

class TaperWalkCases : public testing::TestWithParam<WalkCase> {};

TEST_P(TaperWalkCases, YieldsTheWiresInOrder) {
    const WalkCase& c = GetParam();
    std::vector<TaperSection> sections;
    double diameter = 12;
    for (const double length : c.lengths) {
        sections.push_back(
            Section(1, static_cast<std::int64_t>(sections.size() + 1), diameter, length));
        diameter -= 2;
    }
    std::vector<WireSpan> expected;
    for (const auto& [a, b, d, mirror] : c.wires) {
        if (c.axis == MainLobeAxis::X) {
            expected.push_back({c.distance, a, 10, c.distance, b, 10, d, mirror});
        } else {
            expected.push_back({a, c.distance, 10, b, c.distance, 10, d, mirror});
        }
    }
    ExpectWires(WalkElement(Element(c.len, c.distance, 10), sections, c.axis), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, TaperWalkCases,
    testing::Values(
        WalkCase{"CutAtTheTip",
                 0.5,
                 0,
                 MainLobeAxis::X,
                 {0.3, 1.0},
                 {{0.3, -0.3, 12, false}, {0.3, 0.5, 10, false}, {-0.3, -0.5, 10, true}}},
        WalkCase{"DriverOnX",
                 0.48,
                 0.4,
                 MainLobeAxis::X,
                 {0.3, 1.0},
                 {{0.3, -0.3, 12, false}, {0.3, 0.48, 10, false}, {-0.3, -0.48, 10, true}}},
        WalkCase{"DriverOnY",
                 0.48,
                 0.4,
                 MainLobeAxis::Y,
                 {0.3, 1.0},
                 {{0.3, -0.3, 12, false}, {0.3, 0.48, 10, false}, {-0.3, -0.48, 10, true}}},
        WalkCase{"OnYAtTheBoomCentre",
                 0.5,
                 0,
                 MainLobeAxis::Y,
                 {0.3, 1.0},
                 {{0.3, -0.3, 12, false}, {0.3, 0.5, 10, false}, {-0.3, -0.5, 10, true}}},
        WalkCase{"LenBeyondTheSchedule",
                 5,
                 1,
                 MainLobeAxis::X,
                 {0.3, 1.0},
                 {{0.3, -0.3, 12, false}, {0.3, 1.3, 10, false}, {-0.3, -1.3, 10, true}}},
        WalkCase{"LenInsideTheFirstSection",
                 0.2,
                 0,
                 MainLobeAxis::X,
                 {0.3, 1.0},
                 {{0.2, -0.2, 12, false}}},
        WalkCase{"SectionEndingAtTheTipIsTakenWhole",
                 1.0,
                 0,
                 MainLobeAxis::X,
                 {0.5, 0.5, 0.7},
                 {{0.5, -0.5, 12, false}, {0.5, 1.0, 10, false}, {-0.5, -1.0, 10, true}}},
        WalkCase{"OneSection", 2, 0, MainLobeAxis::X, {1.0}, {{1.0, -1.0, 12, false}}},
        WalkCase{"NoSections", 2, 0, MainLobeAxis::X, {}, {}},
        WalkCase{"ZeroLengthSectionIsSkippedButCounted",
                 2,
                 0,
                 MainLobeAxis::X,
                 {0.3, 0, 0.4},
                 {{0.3, -0.3, 12, false}, {0.3, 0.7, 8, false}, {-0.3, -0.7, 8, true}}},
        WalkCase{"ZeroLengthCentreLeavesOnlyOuterPairs",
                 2,
                 0,
                 MainLobeAxis::X,
                 {0, 0.4},
                 {{0, 0.4, 10, false}, {0, -0.4, 10, true}}},
        WalkCase{"ZeroLen", 0, 0, MainLobeAxis::X, {0.3, 1.0}, {}}),
    [](const testing::TestParamInfo<WalkCase>& row) { return std::string(row.param.name); });

TEST(TaperWalk, HeightIsTheElementsOwnOnBothEnds) {
    const auto wires = WalkElement(Element(0.5, 0.4, 7.25), Lengths({0.3, 1.0}), MainLobeAxis::Y);
    ASSERT_EQ(wires.size(), 3u);
    for (const WireSpan& wire : wires) {
        EXPECT_EQ(wire.z1, 7.25);
        EXPECT_EQ(wire.z2, 7.25);
        EXPECT_EQ(wire.y1, 0.4);
        EXPECT_EQ(wire.y2, 0.4);
    }
}

struct FailureCase {
    const char* name;
    ElementRow element;
    std::vector<TaperSection> sections;
    const char* message;  // nullptr: the walk succeeds
};

const DbValue kNull;
const DbValue kText = DbValue::Text("abc");

// Test listings show the case by its name.
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class TaperWalkFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(TaperWalkFailures, ConvertsAndChecksWhereTheWalkNeedsTheValue) {
    const FailureCase& c = GetParam();
    if (c.message == nullptr) {
        EXPECT_NO_THROW(WalkElement(c.element, c.sections, MainLobeAxis::X));
        return;
    }
    try {
        WalkElement(c.element, c.sections, MainLobeAxis::X);
        FAIL() << "no failure";
    } catch (const Failure& error) {
        EXPECT_EQ(error.Message(), c.message);
    }
}

constexpr const char* kNullDouble = "Could not convert variant of type (Null) into type (Double)";
constexpr const char* kTextDouble = "Could not convert variant of type (String) into type (Double)";

INSTANTIATE_TEST_SUITE_P(
    Values, TaperWalkFailures,
    testing::Values(
        FailureCase{"NullLenWithoutSections",
                    Element(kNull, DbValue::Real(0), DbValue::Real(0)),
                    {},
                    kNullDouble},
        FailureCase{"TextLen", Element(kText, DbValue::Real(0), DbValue::Real(0)), Lengths({0.3}),
                    kTextDouble},
        FailureCase{"IntegerValuesConvert",
                    Element(DbValue::Integer(2), DbValue::Integer(0), DbValue::Integer(10)),
                    {Section(1, 1, DbValue::Integer(12), DbValue::Integer(1))},
                    nullptr},
        FailureCase{"NullDistance", Element(DbValue::Real(1), kNull, DbValue::Real(0)),
                    Lengths({0.3}), kNullDouble},
        FailureCase{"TextHeight", Element(DbValue::Real(1), DbValue::Real(0), kText),
                    Lengths({0.3}), kTextDouble},
        FailureCase{"NullDistanceWithoutWires", Element(DbValue::Real(1), kNull, kNull),
                    Lengths({0, 0}), nullptr},
        FailureCase{
            "NullDistanceWithoutSections", Element(DbValue::Real(1), kNull, kNull), {}, nullptr},
        FailureCase{
            "NullLength", Element(1, 0, 0), {Section(1, 1, DbValue::Real(12), kNull)}, kNullDouble},
        FailureCase{"NullDiameter",
                    Element(1, 0, 0),
                    {Section(1, 1, kNull, DbValue::Real(0.3))},
                    kNullDouble},
        FailureCase{"NullLengthBeyondTheTip",
                    Element(0.2, 0, 0),
                    {Section(1, 1, 12.0, 0.3), Section(1, 2, DbValue::Real(10), kNull)},
                    kNullDouble},
        FailureCase{"TextDiameterBeyondTheTip",
                    Element(0.2, 0, 0),
                    {Section(1, 1, 12.0, 0.3), Section(1, 2, kText, DbValue::Real(1))},
                    kTextDouble},
        FailureCase{"NullDiameterOfZeroSection",
                    Element(1, 0, 0),
                    {Section(1, 1, kNull, DbValue::Real(0))},
                    kNullDouble},
        FailureCase{"NegativeLenWithoutSections",
                    Element(-0.5, 0, 0),
                    {},
                    "SIZE is -0.5; an element needs a half-length of 0 or more"},
        FailureCase{"MinusZeroLen", Element(-0.0, 0, 0), Lengths({0.3}), nullptr},
        FailureCase{"NegativeLengthBeyondTheTip",
                    Element(0.2, 0, 0),
                    {Section(1, 1, 12.0, 0.3), Section(1, 2, 10.0, -1)},
                    "LENGTH is -1; a section needs a length of 0 or more"}),
    [](const testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkora
