// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <streambuf>

#include "Failure.h"
#include "MemoryModelSource.h"
#include "ModelFile.h"
#include "ModelWriters.h"
#include "SoundValues.h"
#include "TempFolder.h"

namespace velkora {
namespace {

using test::Section;

const RegionalMarks kDot{".", ",", "/"};
const RegionalMarks kComma{",", ".", "/"};

constexpr const char* kNullDouble = "Could not convert variant of type (Null) into type (Double)";
constexpr const char* kNullString = "Could not convert variant of type (Null) into type (String)";

ElementRow Element(std::string nome, DbValue type, double len, double distance,
                   std::int64_t idTaper = 1) {
    ElementRow element;
    element.id = DbValue::Integer(static_cast<std::int64_t>(distance * 1000));
    element.idProject = DbValue::Integer(7);
    element.nome = DbValue::Text(std::move(nome));
    element.type = std::move(type);
    element.len = DbValue::Real(len);
    element.idTaper = DbValue::Integer(idTaper);
    element.distance = DbValue::Real(distance);
    element.height = DbValue::Real(10);
    return element;
}

// The project of the whole-file examples: reflector R and driver D on one
// schedule of two sections.
struct Example {
    ProjectRow project{DbValue::Integer(7), DbValue::Text("P"), DbValue::Real(144.3),
                       DbValue::Text("w2c"), DbValue::Integer(10)};
    test::MemoryModelSource source;

    Example() {
        source.elements = {Element("R", DbValue::Text("Element"), 0.5, 0),
                           Element("D", DbValue::Text("Driver"), 0.48, 0.4)};
        source.sections = {Section(1, 1, 12.0, 0.3), Section(1, 2, 10.0, 1.0)};
    }

    ModelJob Job(MainLobeAxis axis, const RegionalMarks& marks, BusyIndicator* busy = nullptr) {
        return ModelJob{project, source, axis, marks, busy};
    }
    std::string Mmana(MainLobeAxis axis = MainLobeAxis::X, const RegionalMarks& marks = kDot) {
        return MmanaModelText(Job(axis, marks));
    }
    std::string EzNec(MainLobeAxis axis = MainLobeAxis::X, const RegionalMarks& marks = kDot) {
        return EzNecModelText(Job(axis, marks));
    }
};

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const std::string kMmanaTrailer =
    Lines({"***Source***", "1,\t0", "w2c,\t0.0,\t1.0", "***Load***", "0,\t1", "***Segmentation***",
           "800,\t80,\t2.0,\t2", "***G/H/M/R/AzEl/X***", "2,\t10.0,\t4,\t50.0,\t120,\t60,\t0.0"});

const std::string kMmanaOnX = Lines({"P", "*", "144.300", "***Wires***", "6",
                                     "0.0,\t0.3,\t10.0,\t0.0,\t-0.3,\t10.0,\t0.006,\t-1",
                                     "0.0,\t0.3,\t10.0,\t0.0,\t0.5,\t10.0,\t0.005,\t-1",
                                     "0.0,\t-0.3,\t10.0,\t0.0,\t-0.5,\t10.0,\t0.005,\t-1",
                                     "0.4,\t0.3,\t10.0,\t0.4,\t-0.3,\t10.0,\t0.006,\t-1",
                                     "0.4,\t0.3,\t10.0,\t0.4,\t0.48,\t10.0,\t0.005,\t-1",
                                     "0.4,\t-0.3,\t10.0,\t0.4,\t-0.48,\t10.0,\t0.005,\t-1"}) +
                              kMmanaTrailer;

const std::string kMmanaOnY = Lines({"P", "*", "144.300", "***Wires***", "6",
                                     "0.3,\t0.0,\t10.0,\t-0.3,\t0.0,\t10.0,\t0.006,\t-1",
                                     "0.3,\t0.0,\t10.0,\t0.5,\t0.0,\t10.0,\t0.005,\t-1",
                                     "-0.3,\t0.0,\t10.0,\t-0.5,\t0.0,\t10.0,\t0.005,\t-1",
                                     "0.3,\t0.4,\t10.0,\t-0.3,\t0.4,\t10.0,\t0.006,\t-1",
                                     "0.3,\t0.4,\t10.0,\t0.48,\t0.4,\t10.0,\t0.005,\t-1",
                                     "-0.3,\t0.4,\t10.0,\t-0.48,\t0.4,\t10.0,\t0.005,\t-1"}) +
                              kMmanaTrailer;

const std::string kEzNecOnX =
    Lines({"; EZNec - Kelmot Velkora", "m mm", "0 0.3 10 0 -0.3 10 12         // R",
           "0 0.3 10 0 0.5 10 10         // R", "0 -0.3 10 0 -0.5 10 10         // R",
           "0.4 0.3 10 0.4 -0.3 10 12         // D", "0.4 0.3 10 0.4 0.48 10 10         // D",
           "0.4 -0.3 10 0.4 -0.48 10 10         // D"});

const std::string kEzNecOnYComma =
    Lines({"; EZNec - Kelmot Velkora", "m mm", "0,3 0 10 -0,3 0 10 12         // R",
           "0,3 0 10 0,5 0 10 10         // R", "-0,3 0 10 -0,5 0 10 10         // R",
           "0,3 0,4 10 -0,3 0,4 10 12         // D", "0,3 0,4 10 0,48 0,4 10 10         // D",
           "-0,3 0,4 10 -0,48 0,4 10 10         // D"});

struct WholeFileCase {
    const char* name;
    bool mmana;
    MainLobeAxis axis;
    const RegionalMarks* marks;
    const std::string* expected;
};

// Test listings show the case by its name.
void PrintTo(const WholeFileCase& c, std::ostream* os) { *os << c.name; }

class WholeFiles : public testing::TestWithParam<WholeFileCase> {};

TEST_P(WholeFiles, MatchByteForByte) {
    const WholeFileCase& c = GetParam();
    Example example;
    EXPECT_EQ(c.mmana ? example.Mmana(c.axis, *c.marks) : example.EzNec(c.axis, *c.marks),
              *c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WholeFiles,
    testing::Values(WholeFileCase{"MmanaOnXDot", true, MainLobeAxis::X, &kDot, &kMmanaOnX},
                    WholeFileCase{"MmanaOnXComma", true, MainLobeAxis::X, &kComma, &kMmanaOnX},
                    WholeFileCase{"MmanaOnYDot", true, MainLobeAxis::Y, &kDot, &kMmanaOnY},
                    WholeFileCase{"MmanaOnYComma", true, MainLobeAxis::Y, &kComma, &kMmanaOnY},
                    WholeFileCase{"EzNecOnXDot", false, MainLobeAxis::X, &kDot, &kEzNecOnX},
                    WholeFileCase{"EzNecOnYComma", false, MainLobeAxis::Y, &kComma,
                                  &kEzNecOnYComma}),
    [](const testing::TestParamInfo<WholeFileCase>& row) { return std::string(row.param.name); });

// The wire lines of a file, without header and trailer.
std::vector<std::string> WireLines(const std::string& text, std::size_t skipFront,
                                   std::size_t skipBack) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(skipFront),
                                    lines.end() - static_cast<std::ptrdiff_t>(skipBack));
}

TEST(MmanaWriter, RadiusOfTheFirstWireAndOfTheMirror) {
    Example example;
    example.source.elements.resize(1);
    example.source.sections = {Section(1, 1, 12.7, 0.3), Section(1, 2, 12.7, 1.0)};
    EXPECT_EQ(WireLines(example.Mmana(), 5, 9),
              (std::vector<std::string>{"0.0,\t0.3,\t10.0,\t0.0,\t-0.3,\t10.0,\t0.00635,\t-1\r",
                                        "0.0,\t0.3,\t10.0,\t0.0,\t0.5,\t10.0,\t0.00635,\t-1\r",
                                        "0.0,\t-0.3,\t10.0,\t0.0,\t-0.5,\t10.0,\t0.0063,\t-1\r"}));
}

TEST(EzNecWriter, DiameterIsAWholeNumberOrNothing) {
    Example example;
    example.source.elements.resize(1);
    example.source.sections = {Section(1, 1, 12.7, 0.3), Section(1, 2, 0.4, 1.0)};
    EXPECT_EQ(WireLines(example.EzNec(), 2, 0),
              (std::vector<std::string>{"0 0.3 10 0 -0.3 10 13         // R\r",
                                        "0 0.3 10 0 0.5 10          // R\r",
                                        "0 -0.3 10 0 -0.5 10          // R\r"}));
}

TEST(Writers, LargeNumbersFollowEachFilesRules) {
    Example example;
    example.project.f0 = DbValue::Real(1296.2);
    example.source.elements = {Element("Far", DbValue::Text("Element"), 0.5, 1234.5)};
    for (const RegionalMarks* marks : {&kDot, &kComma}) {
        const std::string mmana = example.Mmana(MainLobeAxis::X, *marks);
        EXPECT_NE(mmana.find("\r\n1296.200\r\n"), std::string::npos);
        EXPECT_NE(mmana.find("\r\n1234.5,\t0.3,\t10.0,\t1234.5,\t-0.3,"), std::string::npos);
    }
    EXPECT_NE(example.EzNec(MainLobeAxis::X, kDot).find("\r\n1,234.5 0.3 10 1,234.5 -0.3 10 12"),
              std::string::npos);
    EXPECT_NE(example.EzNec(MainLobeAxis::X, kComma).find("\r\n1.234,5 0,3 10 1.234,5 -0,3 10 12"),
              std::string::npos);
    // French groups with the narrow no-break space, written as 0xA0.
    const RegionalMarks french{",", "\xA0", "/"};
    EXPECT_NE(example.EzNec(MainLobeAxis::X, french)
                  .find("\r\n1\xA0"
                        "234,5 0,3 10 1\xA0"
                        "234,5 -0,3 10 12"),
              std::string::npos);
}

TEST(MmanaWriter, GroundHeightUsesTheFileDecimalMark) {
    Example example;
    example.project.height = DbValue::Real(12.25);
    const std::string ground = "2,\t12.25,\t4,\t50.0,\t120,\t60,\t0.0\r\n";
    for (const RegionalMarks* marks : {&kDot, &kComma}) {
        const std::string text = example.Mmana(MainLobeAxis::X, *marks);
        ASSERT_GE(text.size(), ground.size());
        EXPECT_EQ(text.substr(text.size() - ground.size()), ground);
    }
}

TEST(Writers, ElementTypes) {
    Example example;
    example.source.elements = {
        Element("a", DbValue::Text("Null"), 0.3, 0), Element("b", DbValue::Text("null"), 0.3, 1),
        Element("c", DbValue::Text("NULL"), 0.3, 2), Element("d", DbValue(), 0.3, 3),
        Element("e", DbValue::Text(""), 0.3, 4),     Element("f", DbValue::Text("Null"), 0.3, 5)};
    const auto mmana = WireLines(example.Mmana(), 4, 9);
    ASSERT_EQ(mmana.size(), 5u);
    EXPECT_EQ(mmana[0], "4\r");
    EXPECT_EQ(mmana[1].substr(0, 4), "1.0,");
    EXPECT_EQ(mmana[4].substr(0, 4), "4.0,");
    const auto ezNec = WireLines(example.EzNec(), 2, 0);
    ASSERT_EQ(ezNec.size(), 6u);
    EXPECT_EQ(ezNec[0], "0 0.3 10 0 -0.3 10 12         // a\r");
    EXPECT_EQ(ezNec[5], "5 0.3 10 5 -0.3 10 12         // f\r");
}

TEST(Writers, NoElementsOrNoWires) {
    Example example;
    const std::string emptyMmana = Lines({"P", "*", "144.300", "***Wires***", "0"}) + kMmanaTrailer;
    const std::string emptyEzNec = Lines({"; EZNec - Kelmot Velkora", "m mm"});

    example.source.elements.clear();
    EXPECT_EQ(example.Mmana(), emptyMmana);
    EXPECT_EQ(example.EzNec(), emptyEzNec);

    example.source.elements = {Element("R", DbValue::Text("Element"), 0.5, 0, 99),
                               Element("N", DbValue::Text("Null"), 0.5, 1)};
    EXPECT_EQ(example.Mmana(), emptyMmana);
    example.source.elements.resize(1);
    EXPECT_EQ(example.EzNec(), emptyEzNec);
}

TEST(Writers, NoProjectRow) {
    Example example;
    example.project = ProjectRow{};
    try {
        example.Mmana();
        FAIL() << "no failure";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), kNullString);
    }
    EXPECT_EQ(example.EzNec(), Lines({"; EZNec - Kelmot Velkora", "m mm"}));
}

TEST(Writers, TextFieldsInWindows1252) {
    Example example;
    example.project.nome = DbValue::Text(
        "Yagi 6\xE2\x80\x93"
        "el \xC3\xA0 \xE6\x97\xA5");
    example.project.sourceWire = DbValue::Text("w2c\xE2\x82\xAC");
    example.source.elements[0].nome = DbValue::Text("Riflettore \xC3\xA8 \xF0\x9F\x93\xA1");
    const std::string mmana = example.Mmana();
    EXPECT_EQ(mmana.substr(0, 15),
              "Yagi 6\x96"
              "el \xE0 ?\r\n");
    EXPECT_NE(mmana.find("\r\nw2c\x80,\t0.0,\t1.0\r\n"), std::string::npos);
    EXPECT_NE(example.EzNec().find("// Riflettore \xE8 ?\r\n"), std::string::npos);
}

TEST(Writers, EmptyTextsAreNoFailure) {
    Example example;
    example.project.nome = DbValue::Text("");
    example.project.sourceWire = DbValue::Text("");
    example.source.elements[0].nome = DbValue::Text("");
    const std::string mmana = example.Mmana();
    EXPECT_EQ(mmana.substr(0, 5), "\r\n*\r\n");
    EXPECT_NE(mmana.find("\r\n1,\t0\r\n,\t0.0,\t1.0\r\n"), std::string::npos);
    EXPECT_NE(example.EzNec().find("-0.5 10 10         // \r\n0.4"), std::string::npos);
}

// Wires whose two ends would be written alike are left out of both files,
// with their mirrors, and out of the MMANA wire count.
struct ZeroLengthCase {
    const char* name;
    double len;
    std::vector<TaperSection> sections;
    std::vector<std::string> ezNec;  // wire lines, without CR LF
    std::vector<std::string> mmana;  // the count, then the wire lines
};

void PrintTo(const ZeroLengthCase& c, std::ostream* os) { *os << c.name; }

class ZeroLengthWires : public testing::TestWithParam<ZeroLengthCase> {};

TEST_P(ZeroLengthWires, AreLeftOut) {
    const ZeroLengthCase& c = GetParam();
    Example example;
    example.source.elements = {Element("E", DbValue::Text("Element"), c.len, 0)};
    example.source.elements[0].height = DbValue::Real(15);
    example.source.sections = c.sections;
    const auto withoutCrLf = [](std::vector<std::string> lines) {
        for (std::string& line : lines) line.pop_back();
        return lines;
    };
    EXPECT_EQ(withoutCrLf(WireLines(example.EzNec(), 2, 0)), c.ezNec);
    EXPECT_EQ(withoutCrLf(WireLines(example.Mmana(), 4, 9)), c.mmana);
}

INSTANTIATE_TEST_SUITE_P(
    Walks, ZeroLengthWires,
    testing::Values(
        // 5.15 - 2.56 - 2.59 leaves a residue of 4e-16 for the third section.
        ZeroLengthCase{
            "ResidueOfAPartialSum",
            5.15,
            {Section(1, 1, 30.0, 2.56), Section(1, 2, 25.0, 2.59), Section(1, 3, 20.0, 2.02)},
            {"0 2.56 15 0 -2.56 15 30         // E", "0 2.56 15 0 5.15 15 25         // E",
             "0 -2.56 15 0 -5.15 15 25         // E"},
            {"3", "0.0,\t2.56,\t15.0,\t0.0,\t-2.56,\t15.0,\t0.015,\t-1",
             "0.0,\t2.56,\t15.0,\t0.0,\t5.15,\t15.0,\t0.0125,\t-1",
             "0.0,\t-2.56,\t15.0,\t0.0,\t-5.15,\t15.0,\t0.0125,\t-1"}},
        ZeroLengthCase{"PieceUnderHalfAMillimetre",
                       0.5003,
                       {Section(1, 1, 12.0, 0.5), Section(1, 2, 10.0, 1.0)},
                       {"0 0.5 15 0 -0.5 15 12         // E"},
                       {"1", "0.0,\t0.5,\t15.0,\t0.0,\t-0.5,\t15.0,\t0.006,\t-1"}},
        ZeroLengthCase{"CentreWireUnderHalfAMillimetre",
                       0.0004,
                       {Section(1, 1, 12.0, 0.3), Section(1, 2, 10.0, 1.0)},
                       {},
                       {"0"}}),
    [](const testing::TestParamInfo<ZeroLengthCase>& row) { return std::string(row.param.name); });

TEST(Writers, LineBreaksInNamesBecomeBlanks) {
    Example example;
    example.project.nome = DbValue::Text("P\r\nQ");
    example.project.sourceWire = DbValue::Text("w2\rc\n");
    example.source.elements[0].nome = DbValue::Text("El\r\n0,\t0,\t0,\t0,\t0,\t0,\t0.001,\t-1");
    const std::string mmana = example.Mmana();
    EXPECT_EQ(mmana.substr(0, 6), "P  Q\r\n");
    EXPECT_NE(mmana.find("\r\nw2 c ,\t0.0,\t1.0\r\n"), std::string::npos);
    const auto ezNec = WireLines(example.EzNec(), 2, 0);
    ASSERT_EQ(ezNec.size(), 6u);
    EXPECT_EQ(ezNec[0],
              "0 0.3 10 0 -0.3 10 12         // El  0,\t0,\t0,\t0,\t0,\t0,\t0.001,\t-1\r");
}

struct NullCase {
    const char* name;
    bool mmana;
    std::function<void(Example&)> change;
    const char* message;  // nullptr: no failure
    const char* where = "";
};

// Test listings show the case by its name.
void PrintTo(const NullCase& c, std::ostream* os) { *os << c.name; }

class NullValues : public testing::TestWithParam<NullCase> {};

TEST_P(NullValues, FailWhereTheFileNeedsThem) {
    const NullCase& c = GetParam();
    Example example;
    c.change(example);
    try {
        c.mmana ? example.Mmana() : example.EzNec();
        EXPECT_EQ(c.message, nullptr);
    } catch (const Failure& error) {
        ASSERT_NE(c.message, nullptr) << error.what();
        EXPECT_EQ(error.Message(), c.message);
        EXPECT_EQ(error.Where(), c.where);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NullValues,
    testing::Values(
        NullCase{"MmanaNome", true, [](Example& e) { e.project.nome = {}; }, kNullString,
                 "project 7, NOME"},
        NullCase{"MmanaF0", true, [](Example& e) { e.project.f0 = {}; }, kNullDouble,
                 "project 7, F0"},
        NullCase{"MmanaF0Text", true, [](Example& e) { e.project.f0 = DbValue::Text("144"); },
                 "Could not convert variant of type (String) into type (Double)", "project 7, F0"},
        NullCase{"MmanaSourceWire", true, [](Example& e) { e.project.sourceWire = {}; },
                 kNullString, "project 7, SOURCE_WIRE"},
        NullCase{"MmanaHeight", true, [](Example& e) { e.project.height = {}; }, kNullDouble,
                 "project 7, HEIGHT"},
        NullCase{"MmanaElementLen", true, [](Example& e) { e.source.elements[1].len = {}; },
                 kNullDouble, "project 7, element \"D\", LEN"},
        NullCase{"MmanaNullLenOfNullElement", true,
                 [](Example& e) {
                     e.source.elements[1].type = DbValue::Text("Null");
                     e.source.elements[1].len = {};
                 },
                 nullptr},
        NullCase{"MmanaElementNomeIsNotRead", true,
                 [](Example& e) { e.source.elements[0].nome = {}; }, nullptr},
        NullCase{"MmanaSectionDiameter", true,
                 [](Example& e) { e.source.sections[1].diameter = {}; }, kNullDouble,
                 "project 7, element \"R\", section 2, DIAMETER"},
        NullCase{"EzNecProjectFieldsAreNotRead", false,
                 [](Example& e) {
                     e.project.nome = {};
                     e.project.f0 = {};
                     e.project.sourceWire = {};
                     e.project.height = {};
                 },
                 nullptr},
        NullCase{"EzNecElementNome", false, [](Example& e) { e.source.elements[1].nome = {}; },
                 kNullString, "project 7, element ID 400, NOME"},
        NullCase{"EzNecNomeOfElementWithOnlyZeroLengthWires", false,
                 [](Example& e) {
                     e.source.elements[1].nome = {};
                     e.source.elements[1].len = DbValue::Real(0.0004);
                 },
                 nullptr},
        NullCase{"EzNecNomeOfElementWithoutWires", false,
                 [](Example& e) {
                     e.source.elements[1].nome = {};
                     e.source.elements[1].idTaper = {};
                 },
                 nullptr},
        NullCase{"EzNecDistanceBeforeNome", false,
                 [](Example& e) {
                     e.source.elements[1].nome = {};
                     e.source.elements[1].distance = DbValue::Text("x");
                 },
                 "Could not convert variant of type (String) into type (Double)",
                 "project 7, element ID 400, DISTANCE"},
        NullCase{"EzNecNullLenOfNullElement", false,
                 [](Example& e) {
                     e.source.elements[1].type = DbValue::Text("Null");
                     e.source.elements[1].len = {};
                 },
                 kNullDouble, "project 7, element \"D\", LEN"},
        NullCase{"EzNecSectionLength", false, [](Example& e) { e.source.sections[0].length = {}; },
                 kNullDouble, "project 7, element \"R\", section 1, LENGTH"},
        NullCase{"NoProjectRow", true, [](Example& e) { e.project = ProjectRow{}; }, kNullString,
                 "no project, NOME"}),
    [](const testing::TestParamInfo<NullCase>& row) { return std::string(row.param.name); });

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr const char* kDiameterZero = "DIAMETER is 0; a tube needs a diameter above 0";

// Values that would make a wrong model: which elements and fields each file
// reads, and which failure comes first when a design has several faults.
INSTANTIATE_TEST_SUITE_P(
    Unsound, NullValues,
    testing::Values(
        NullCase{"MmanaF0", true, [](Example& e) { e.project.f0 = DbValue::Real(0); },
                 "F0 is 0; the design frequency must be a finite number above 0", "project 7"},
        NullCase{"MmanaGroundHeight", true,
                 [](Example& e) { e.project.height = DbValue::Real(-kInf); },
                 "HEIGHT is -inf; the height above ground must be a finite number", "project 7"},
        NullCase{"EzNecReadsNoF0OrGroundHeight", false,
                 [](Example& e) {
                     e.project.f0 = DbValue::Real(0);
                     e.project.height = DbValue::Real(kInf);
                 },
                 nullptr},
        NullCase{"MmanaWiresBeforeGroundHeight", true,
                 [](Example& e) {
                     e.project.height = DbValue::Real(kInf);
                     e.source.sections[1].diameter = DbValue::Real(0);
                 },
                 kDiameterZero, "project 7, element \"R\""},
        NullCase{"MmanaSkipsNullElements", true,
                 [](Example& e) {
                     e.source.elements[1].type = DbValue::Text("Null");
                     e.source.elements[1].len = DbValue::Real(-1);
                 },
                 nullptr},
        NullCase{"EzNecWalksNullElements", false,
                 [](Example& e) {
                     e.source.elements[1].type = DbValue::Text("Null");
                     e.source.elements[1].len = DbValue::Real(-1);
                 },
                 "SIZE is -1; an element needs a half-length of 0 or more",
                 "project 7, element \"D\""},
        NullCase{"LeftOutWiresNeverRefuse", true,
                 [](Example& e) {
                     e.source.elements[0].len = DbValue::Real(0.3004);
                     e.source.elements[1].len = DbValue::Real(0.3004);
                     e.source.sections[1].diameter = DbValue::Real(0);
                 },
                 nullptr},
        NullCase{"NullBeforeRefusalOfTheSameWire", true,
                 [](Example& e) {
                     e.source.elements[0].distance = {};
                     e.source.sections[0].diameter = DbValue::Real(0);
                 },
                 kNullDouble, "project 7, element \"R\", DISTANCE"},
        NullCase{"RefusalBeforeALaterNull", false,
                 [](Example& e) {
                     e.source.sections[0].diameter = DbValue::Real(0);
                     e.source.elements[1].len = {};
                 },
                 kDiameterZero, "project 7, element \"R\""},
        NullCase{"EzNecRefusalBeforeTheName", false,
                 [](Example& e) {
                     e.source.elements[1].nome = {};
                     e.source.elements[1].distance = DbValue::Real(kInf);
                 },
                 "OFFSET is inf; an element's place along the boom must be a finite number",
                 "project 7, element ID 400"}),
    [](const testing::TestParamInfo<NullCase>& row) { return std::string(row.param.name); });

// The error box shows what a refusal concerns, as velkora-cli does after its name.
TEST(Writers, ARefusalShowsItsPlaceInTheErrorBox) {
    Example example;
    example.source.sections[1].diameter = DbValue::Real(0);
    try {
        example.Mmana();
        FAIL() << "no failure";
    } catch (const RefusedValue& refused) {
        EXPECT_STREQ(refused.what(),
                     "project 7, element \"R\": DIAMETER is 0; a tube needs a "
                     "diameter above 0");
    }
}

// A source whose schedules cannot be read: an element must fail on its LEN
// before its sections are asked for.
class UnreadableSchedules : public test::MemoryModelSource {
  public:
    std::vector<TaperSection> SectionsOfSchedule(const DbValue&) override {
        throw Failure("schedule read");
    }
};

TEST(Writers, LenIsConvertedBeforeTheSectionsAreRead) {
    Example example;
    UnreadableSchedules source;
    source.elements = example.source.elements;
    source.elements[0].len = {};
    const ModelJob job{example.project, source, MainLobeAxis::X, kDot};
    EXPECT_THROW(
        {
            try {
                MmanaModelText(job);
            } catch (const ConversionError& error) {
                EXPECT_STREQ(error.what(), kNullDouble);
                throw;
            }
        },
        ConversionError);
    EXPECT_THROW(EzNecModelText(job), ConversionError);
}

class CountingBusy : public BusyIndicator {
  public:
    int begun = 0;
    int ended = 0;
    void Begin() override {
        EXPECT_EQ(begun, ended);
        ++begun;
    }
    void End() override { ++ended; }
};

// Accepts a number of bytes, then refuses every further one.
class FailingBuffer : public std::streambuf {
  public:
    explicit FailingBuffer(std::size_t capacity) : capacity_(capacity) {}
    std::string received;

  protected:
    int_type overflow(int_type ch) override {
        if (received.size() >= capacity_) return traits_type::eof();
        received += traits_type::to_char_type(ch);
        return ch;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const auto room = static_cast<std::streamsize>(capacity_ - received.size());
        const auto taken = std::min(n, room);
        received.append(s, static_cast<std::size_t>(taken));
        return taken;
    }

  private:
    std::size_t capacity_;
};

TEST(Writers, StreamFormsWriteTheModelAndReportAFailingStream) {
    Example example;
    CountingBusy busy;
    std::ostringstream out;
    WriteMmanaModel(out, example.Job(MainLobeAxis::X, kDot, &busy));
    EXPECT_EQ(out.str(), kMmanaOnX);
    FailingBuffer buffer(100);
    std::ostream failing(&buffer);
    try {
        WriteEzNecModel(failing, example.Job(MainLobeAxis::X, kDot, &busy));
        FAIL() << "no failure";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "I/O error 5");
    }
    EXPECT_EQ(buffer.received, kEzNecOnX.substr(0, 100));
    EXPECT_EQ(busy.begun, 2);
    EXPECT_EQ(busy.ended, 2);
}

class PathForms : public testing::Test {
  protected:
    test::TempFolder folder;
    Example example;
    CountingBusy busy;
    std::string target = folder.Path("model.maa");

    ModelJob Job() { return example.Job(MainLobeAxis::X, kDot, &busy); }

    std::string FailureOf(bool mmana, const std::string& path) {
        try {
            mmana ? WriteMmanaModel(path, Job()) : WriteEzNecModel(path, Job());
        } catch (const Failure& error) {
            return error.what();
        }
        return "no failure";
    }
};

TEST_F(PathForms, WriteTheFiles) {
    WriteMmanaModel(target, Job());
    EXPECT_EQ(test::ReadFile(target), kMmanaOnX);
    WriteEzNecModel(target, Job());
    EXPECT_EQ(test::ReadFile(target), kEzNecOnX);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"model.maa"});
    EXPECT_EQ(busy.ended, 2);
}

TEST_F(PathForms, KeepTheOldFileAfterAnyFailure) {
    { std::ofstream(target) << "the previous model"; }
    for (const bool mmana : {true, false}) {
        SCOPED_TRACE(mmana ? "MMANA" : "EZNEC");
        example.source.sections[1].length = {};
        EXPECT_EQ(FailureOf(mmana, target), kNullDouble);
        example.source.sections[1].length = DbValue::Real(1.0);
        EXPECT_EQ(FailureOf(mmana, folder.Path("none/model.maa")), "File not found");
        EXPECT_EQ(FailureOf(mmana, folder.Root()), "is a folder");
        EXPECT_EQ(test::ReadFile(target), "the previous model");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"model.maa"});
    }
    EXPECT_EQ(busy.begun, 6);
    EXPECT_EQ(busy.ended, 6);
}

TEST_F(PathForms, DiskFullOnADevice) {
    EXPECT_EQ(FailureOf(true, "/dev/full"), "Disk full");
    EXPECT_EQ(FailureOf(false, "/dev/full"), "Disk full");
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    EXPECT_EQ(busy.ended, 2);
}

}  // namespace
}  // namespace velkora
