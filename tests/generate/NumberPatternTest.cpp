// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Failure.h"
#include "NumberPattern.h"

namespace velkora {
namespace {

const RegionalMarks kPoint{".", ",", "/"};
const RegionalMarks kComma{",", ".", "/"};

struct TextCase {
    const char* pattern;
    double value;
    const char* pointText;  // decimal "." and thousands ","
    const char* commaText;  // decimal "," and thousands "."
};

// The worked examples: values are the nearest doubles to the decimals shown,
// so 1.0005 and 0.003175 lie just below a half, 12.0005, 7.0445 and 0.012345
// just above.
const TextCase kWorkedExamples[] = {
    {"###,##0.###", 0, "0", "0"},
    {"###,##0.###", 2, "2", "2"},
    {"###,##0.###", 2.5, "2.5", "2,5"},
    {"###,##0.###", 0.05, "0.05", "0,05"},
    {"###,##0.###", 0.0005, "0.001", "0,001"},
    {"###,##0.###", -0.0005, "-0.001", "-0,001"},
    {"###,##0.###", -0.0004, "0", "0"},
    {"###,##0.###", 1.0005, "1", "1"},
    {"###,##0.###", 12.0005, "12.001", "12,001"},
    {"###,##0.###", 1234.5, "1,234.5", "1.234,5"},
    {"###,##0.###", 1234567.891, "1,234,567.891", "1.234.567,891"},
    {"###,##0.###", 999.9996, "1,000", "1.000"},
    {"###,##0.###", -1234.56789, "-1,234.568", "-1.234,568"},
    {"###,##0.000", 0, "0.000", "0,000"},
    {"###,##0.000", 14.15, "14.150", "14,150"},
    {"###,##0.000", 7.0445, "7.045", "7,045"},
    {"###,##0.000", -0.0004, "0.000", "0,000"},
    {"###,##0.000", -1234567, "-1,234,567.000", "-1.234.567,000"},
    {"#####0.0##", 0, "0.0", "0,0"},
    {"#####0.0##", 12, "12.0", "12,0"},
    {"#####0.0##", 12.3456, "12.346", "12,346"},
    {"#####0.0##", -0.25, "-0.25", "-0,25"},
    {"#####0.0##", 9.9996, "10.0", "10,0"},
    {"#####0.0##", 0.0004, "0.0", "0,0"},
    {"#####0.0##", 1234567, "1234567.0", "1234567,0"},
    {"#####0.0###", 1.23456, "1.2346", "1,2346"},
    {"#####0.0###", -3.14159265, "-3.1416", "-3,1416"},
    {"#####0.0####", 0.012345, "0.01235", "0,01235"},
    {"#####0.0####", 0.003175, "0.00317", "0,00317"},
    {"#####0.0####", 0.000005, "0.00001", "0,00001"},
    {"#####0.0####", 0.000004, "0.0", "0,0"},
    {"###", 0, "", ""},
    {"###", 0.49, "", ""},
    {"###", 0.5, "1", "1"},
    {"###", 2.5, "3", "3"},
    {"###", 12.7, "13", "13"},
    {"###", -0.5, "-1", "-1"},
    {"###", 1234, "1234", "1234"},
    {"##0.###", 3.14159, "3.142", "3,142"},
    {"##0.###", 1234.5, "1234.5", "1234,5"},
    {"##", 0, "", ""},
    {"##", 123, "123", "123"},
    {"##", -7, "-7", "-7"},
};

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

// Beyond the worked examples: signs of zero, carries, huge values, and
// values that need the general form.
const TextCase kEdges[] = {
    {"###,##0.###", -0.0, "0", "0"},
    {"#####0.0##", -0.0, "0.0", "0,0"},
    {"###", -0.0, "", ""},
    {"#####0.0##", -0.0004, "0.0", "0,0"},
    {"###", -0.49, "", ""},
    {"###,##0.###", 999999.9996, "1,000,000", "1.000.000"},
    {"###,##0.###", 99.9996, "100", "100"},
    {"###,##0.000", 0.0005, "0.001", "0,001"},
    {"###,##0.###", 123456789012345678.0, "123,456,789,012,345,680", "123.456.789.012.345.680"},
    {"###", 2251799813685248.5, "2251799813685249", "2251799813685249"},
    {"###,##0.###", 2e18, "2E18", "2E18"},
    {"#####0.0##", 2e18, "2E18", "2E18"},
    {"###", 2e18, "2E18", "2E18"},
    {"##0.###", 1.5e20, "1.5E20", "1,5E20"},
    {"###,##0.000", -1.5e20, "-1.5E20", "-1,5E20"},
    {"#####0.0##", 1.23456789012345678e100, "1.23456789012346E100", "1,23456789012346E100"},
    {"###", 999999999999999999.0, "1E18", "1E18"},
    {"###,##0.###", 1e-300, "0", "0"},
    {"###,##0.###", kInf, "INF", "INF"},
    {"###,##0.###", -kInf, "-INF", "-INF"},
    {"###,##0.###", kNan, "NAN", "NAN"},
    {"###", -kNan, "NAN", "NAN"},
    {"00000.0", 12.25, "00012.3", "00012,3"},
    {"0#,###", 5, "00,005", "00.005"},
    {"#.#0#", 0.5, ".50", ",50"},
    {"#.000", 0, ".000", ",000"},
    {"#,#", 1234567, "1,234,567", "1.234.567"},
    // At most 18 significant digits: 0.1 is stored as 0.1000000000000000055511...
    {"0.0000000000000000000000000", 0.1, "0.1000000000000000060000000",
     "0,1000000000000000060000000"},
};

// How each part of a pattern shows in the text: the places after the first
// point (a second point is passed over), the "0"s after it, which are always
// written, the "0"s before it, and a "," anywhere, which groups by thousands.
const TextCase kPatternParts[] = {
    {"#####0.0###", 2, "2.0", "2,0"},
    {"#####0.0###", 12345.678901, "12345.6789", "12345,6789"},
    {"##0.###", 0.25, "0.25", "0,25"},
    {"0#0.#0#", 0, "000.00", "000,00"},
    {"0#0.#0#", 12345.678901, "12345.679", "12345,679"},
    {"#.#,#", 0, "", ""},
    {"#.#,#", 0.25, ".25", ",25"},
    {"#.#,#", 12345.678901, "12,345.68", "12.345,68"},
    {"##.#.#", 0.25, ".25", ",25"},
    {"##.#.#", 12345.678901, "12345.68", "12345,68"},
    {"#0.", 0.25, "0", "0"},
    {"#0.", 12345.678901, "12346", "12346"},
    {".0", 0, ".0", ",0"},
    {".0", 12345.678901, "12345.7", "12345,7"},
};

void ExpectTexts(const TextCase& c) {
    EXPECT_EQ(NumberPattern(c.pattern, c.value, kPoint), c.pointText)
        << c.pattern << " " << c.value;
    EXPECT_EQ(NumberPattern(c.pattern, c.value, kComma), c.commaText)
        << c.pattern << " " << c.value;
}

TEST(NumberPatternTest, WorkedExamples) {
    for (const TextCase& c : kWorkedExamples) ExpectTexts(c);
}

TEST(NumberPatternTest, EdgeValues) {
    for (const TextCase& c : kEdges) ExpectTexts(c);
}

TEST(NumberPatternTest, PartsOfThePattern) {
    for (const TextCase& c : kPatternParts) ExpectTexts(c);
}

TEST(NumberPatternTest, AllFormsGiveTheSameText) {
    NumberTextBuffer buffer;
    std::string appended = "x";
    std::string expected = "x";
    for (const TextCase& c : kWorkedExamples) {
        const CompiledPattern pattern(c.pattern);
        EXPECT_EQ(NumberPattern(pattern, c.value, kComma), c.commaText);
        EXPECT_EQ(NumberPattern(buffer, pattern, c.value, kComma), c.commaText);
        AppendNumberPattern(appended, pattern, c.value, kComma);
        expected += c.commaText;
    }
    EXPECT_EQ(appended, expected);
}

TEST(NumberPatternTest, NoGroupingWithoutAThousandsMarkOrWithOneEqualToTheDecimalMark) {
    for (const RegionalMarks& noGrouping :
         {RegionalMarks{".", "", "/"}, RegionalMarks{".", ".", "/"}}) {
        EXPECT_EQ(NumberPattern("###,##0.###", 1234.5, noGrouping), "1234.5");
        EXPECT_EQ(NumberPattern("###,##0.###", 999.9996, noGrouping), "1000");
        EXPECT_EQ(NumberPattern("###,##0.000", -1234567, noGrouping), "-1234567.000");
    }
    EXPECT_EQ(NumberPattern("###,##0.000", 1296.2, RegionalMarks{",", ",", "/"}), "1296,200");
}

TEST(NumberPatternTest, MarksOfSeveralBytesAreWrittenWhole) {
    const RegionalMarks wide{"<>", "__", "/"};
    EXPECT_EQ(NumberPattern("###,##0.###", -1234567.891, wide), "-1__234__567<>891");
    NumberTextBuffer buffer;
    EXPECT_EQ(NumberPattern(buffer, CompiledPattern("###,##0.###"), 1234.5, wide), "1__234<>5");
}

TEST(NumberPatternTest, PlainFormUsesCurrentMarks) {
    const RegionalMarks saved = CurrentRegionalMarks();
    SetCurrentRegionalMarks(kComma);
    EXPECT_EQ(NumberPattern("###,##0.###", 1234.5), "1.234,5");
    SetCurrentRegionalMarks(RegionalMarks{".", "'", "/"});
    EXPECT_EQ(NumberPattern("###,##0.###", 1234.5), "1'234.5");
    SetCurrentRegionalMarks(saved);
}

void ExpectRefused(const std::string& pattern, const std::string& message) {
    try {
        (void)NumberPattern(pattern, 1.0, kPoint);
        ADD_FAILURE() << pattern << " accepted";
    } catch (const Failure& e) {
        EXPECT_EQ(e.what(), message) << pattern;
    }
}

TEST(CompiledPatternTest, RefusesWhatItCannotWrite) {
    ExpectRefused(std::string(225, '#'), "Format string too long");
    ExpectRefused(std::string(224, 'x') + "#", "Format string too long");
    ExpectRefused("#0.0E+00",
                  "Format string \"#0.0E+00\" has the unsupported character \"E\"; only \"#\", "
                  "\"0\", \".\" and \",\" are allowed");
    ExpectRefused("#;-#",
                  "Format string \"#;-#\" has the unsupported character \";\"; only \"#\", "
                  "\"0\", \".\" and \",\" are allowed");
    ExpectRefused("", "Format string \"\" has no digit placeholder (\"#\" or \"0\")");
    ExpectRefused(",.", "Format string \",.\" has no digit placeholder (\"#\" or \"0\")");
}

TEST(CompiledPatternTest, LongestPatternsFitTheBuffer) {
    NumberTextBuffer buffer;
    const std::string integers = "," + std::string(223, '0');
    const std::string decimals = "0." + std::string(222, '0');
    EXPECT_EQ(NumberPattern(buffer, CompiledPattern(integers), -1.0, kPoint).size(), 1u + 223 + 74);
    EXPECT_EQ(NumberPattern(buffer, CompiledPattern(decimals), -1.0, kPoint).size(),
              1u + 1 + 1 + 222);
    EXPECT_EQ(NumberPattern(std::string(224, '#'), 1e18 - 128, kPoint), "999999999999999872");
}

TEST(GeneralNumberTextTest, FifteenDigitsAndExponent) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {2e18, "2E18"},
        {1.5e20, "1,5E20"},
        {-1.5e20, "-1,5E20"},
        {0, "0"},
        {-0.0, "0"},
        {1.5e-7, "1,5E-7"},
        {9.9999999999999995e20, "1E21"},
        {123456789012345678e3, "1,23456789012346E20"},
        {kInf, "INF"},
        {-kInf, "-INF"},
        {kNan, "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneralNumberText(c.value, kComma), c.text) << c.value;
}

TEST(FloatFieldTextTest, PlainBetweenTenThousandthAndE15) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {10, "10"},
        {-2.5, "-2,5"},
        {0.1 + 0.2, "0,3"},
        {0.0001, "0,0001"},
        {0.00009999, "9,999E-5"},
        {0.000123456789012345678, "0,000123456789012346"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.9, "1E15"},
        {1e15, "1E15"},
        {-1234567890123456789.0, "-1,23456789012346E18"},
        {1e-20, "1E-20"},
        {kInf, "INF"},
        {kNan, "NAN"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatFieldText(c.value, kComma), c.text) << c.value;
}

TEST(ReplaceEveryTest, ReplacesEachOccurrenceFromTheLeft) {
    const struct {
        const char* text;
        const char* oldText;
        const char* newText;
        const char* result;
    } cases[] = {
        {"1,234,567.891", ",", ".", "1.234.567.891"},
        {"1.234,5", ",", ".", "1.234.5"},
        {"12.5", ",", ".", "12.5"},
        {"", ",", ".", ""},
        {",,", ",", ".", ".."},
        {"aaa", "aa", "b", "ba"},
        {"a,b", ",", "", "ab"},
        {"a,b", ",", ", ", "a, b"},
        {"AbA", "a", "x", "AbA"},
        {"abc", "", "x", "abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceEvery(c.text, c.oldText, c.newText), c.result);
}

}  // namespace
}  // namespace velkora
