// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "Cp1252.h"

namespace velkora {
namespace {

struct Cp1252Case {
    const char* name;
    std::string utf8;
    std::string expected;
};

// Test listings show the case by its name.
void PrintTo(const Cp1252Case& c, std::ostream* os) { *os << c.name; }

class Cp1252Cases : public testing::TestWithParam<Cp1252Case> {};

TEST_P(Cp1252Cases, Encodes) { EXPECT_EQ(ToCp1252(GetParam().utf8), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Texts, Cp1252Cases,
    testing::Values(
        Cp1252Case{"Ascii", "Yagi 3el\t2m", "Yagi 3el\t2m"}, Cp1252Case{"Empty", "", ""},
        Cp1252Case{"Latin1", "Direttore \xC3\xA8 \xC3\xBF\xC2\xA0", "Direttore \xE8 \xFF\xA0"},
        Cp1252Case{"HighPunctuation", "\xE2\x82\xAC \xC5\x93 \xE2\x80\x9C\xE2\x80\x9D \xE2\x84\xA2",
                   "\x80 \x9C \x93\x94 \x99"},
        Cp1252Case{"C1ControlNotHeld",
                   "a\xC2\x81"
                   "b\xC2\x80",
                   "a?b?"},
        Cp1252Case{"OutsideTheCodePage", "\xE6\x97\xA5\xE6\x9C\xAC \xCE\xA9", "?? ?"},
        Cp1252Case{"FourByteCharacterIsOneMark", "\xF0\x9F\x93\xA1!", "?!"},
        Cp1252Case{"LoneContinuationByte", "a\x80z", "a?z"},
        Cp1252Case{"TruncatedAtTheEnd", "ab\xE2\x82", "ab?"},
        Cp1252Case{"TruncatedBeforeAscii",
                   "\xE2\x82"
                   "A",
                   "?A"},
        Cp1252Case{"Overlong", "\xC0\xAF", "??"}, Cp1252Case{"Surrogate", "\xED\xA0\x80", "???"},
        Cp1252Case{"BeyondUnicode", "\xF4\x90\x80\x80", "????"},
        Cp1252Case{"InvalidLeadBytes", "\xF5\xFF", "??"},
        Cp1252Case{"EmbeddedNul", std::string("a\0b", 3), std::string("a\0b", 3)}),
    [](const testing::TestParamInfo<Cp1252Case>& row) { return std::string(row.param.name); });

TEST(Cp1252, AppendsToWhatIsThere) {
    std::string out = "x";
    AppendCp1252(out, "\xC3\xA9");
    EXPECT_EQ(out, "x\xE9");
}

// Reading a byte and writing its character back gives the byte again, except
// for the five bytes the code page leaves unassigned, which it cannot hold.
TEST(Cp1252, EveryByteReadsBackButTheUnassignedFive) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::optional<char> back = Cp1252Byte(Cp1252Char(static_cast<unsigned char>(byte)));
        const bool unassigned =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if (unassigned)
            EXPECT_EQ(back, std::nullopt) << byte;
        else
            EXPECT_EQ(back, static_cast<char>(byte)) << byte;
    }
}

}  // namespace
}  // namespace velkora
