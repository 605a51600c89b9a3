// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "RegionalMarks.h"

namespace velkora {
namespace {

// Sets the locale variables for one test and puts back what was there.
class LocaleEnvironment {
  public:
    LocaleEnvironment() {
        for (std::size_t i = 0; i < kCount; ++i) {
            const char* value = std::getenv(kNames[i]);
            saved_[i] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(kNames[i]);
        }
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < kCount; ++i) {
            if (saved_[i]) {
                setenv(kNames[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

    void Set(const char* name, const char* value) { setenv(name, value, 1); }

  private:
    static constexpr std::size_t kCount = 4;
    static constexpr const char* kNames[kCount] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};
    std::optional<std::string> saved_[kCount];
};

TEST(RegionalMarksTest, ReadsTheLocaleTheEnvironmentNames) {
    const struct {
        const char* name;
        const char* variable;
        const char* locale;
        RegionalMarks expected;
    } cases[] = {
        {"german through LC_ALL", "LC_ALL", "de_DE.UTF-8", {",", ".", "."}},
        {"german through LC_NUMERIC", "LC_NUMERIC", "de_DE.UTF-8", {",", ".", "/"}},
        {"german through LC_TIME", "LC_TIME", "de_DE.UTF-8", {".", ",", "."}},
        {"german through LANG", "LANG", "de_DE.UTF-8", {",", ".", "."}},
        {"american", "LC_ALL", "en_US.UTF-8", {".", ",", "/"}},
        {"french: narrow no-break space groups", "LC_ALL", "fr_FR.UTF-8", {",", "\xA0", "/"}},
        {"C locale", "LC_ALL", "C", {".", ",", "/"}},
        {"POSIX locale", "LC_ALL", "POSIX", {".", ",", "/"}},
        {"C with UTF-8", "LC_ALL", "C.UTF-8", {".", ",", "/"}},
        {"not installed", "LC_ALL", "xx_YY.UTF-8", {".", ",", "/"}},
    };
    for (const auto& c : cases) {
        LocaleEnvironment environment;
        environment.Set(c.variable, c.locale);
        const RegionalMarks marks = ReadUserRegionalMarks();
        EXPECT_EQ(marks.decimalSeparator, c.expected.decimalSeparator) << c.name;
        EXPECT_EQ(marks.thousandsSeparator, c.expected.thousandsSeparator) << c.name;
        EXPECT_EQ(marks.dateSeparator, c.expected.dateSeparator) << c.name;
    }
}

TEST(RegionalMarksTest, LcAllOutranksTheCategoryVariable) {
    LocaleEnvironment environment;
    environment.Set("LC_ALL", "C");
    environment.Set("LC_NUMERIC", "de_DE.UTF-8");
    EXPECT_EQ(ReadUserRegionalMarks(), RegionalMarks{});
}

TEST(RegionalMarksTest, ProcessLocaleIsLeftAlone) {
    LocaleEnvironment environment;
    environment.Set("LC_ALL", "de_DE.UTF-8");
    (void)ReadUserRegionalMarks();
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    EXPECT_STREQ(text, "2.5");
}

TEST(RegionalMarksTest, RefreshRereadsTheEnvironment) {
    const RegionalMarks saved = CurrentRegionalMarks();
    {
        LocaleEnvironment environment;
        environment.Set("LC_ALL", "de_DE.UTF-8");
        RefreshRegionalMarks();
        EXPECT_EQ(CurrentRegionalMarks(), (RegionalMarks{",", ".", "."}));
        environment.Set("LC_ALL", "C");
        RefreshRegionalMarks();
        EXPECT_EQ(CurrentRegionalMarks(), RegionalMarks{});
    }
    SetCurrentRegionalMarks(saved);
}

TEST(Windows1252CharTest, OneCharacterThatTheCodePageHas) {
    const struct {
        const char* name;
        const char* text;
        const char* codeset;
        std::optional<char> expected;
    } cases[] = {
        {"ascii in UTF-8", ".", "UTF-8", '.'},
        {"no-break space", "\xC2\xA0", "UTF-8", '\xA0'},
        {"right single quote", "\xE2\x80\x99", "UTF-8", '\x92'},
        {"euro sign", "\xE2\x82\xAC", "UTF-8", '\x80'},
        {"narrow no-break space", "\xE2\x80\xAF", "UTF-8", '\xA0'},
        {"C1 control", "\xC2\x85", "UTF-8", std::nullopt},
        {"two characters", "..", "UTF-8", std::nullopt},
        {"truncated sequence", "\xC2", "UTF-8", std::nullopt},
        {"overlong full stop", "\xC0\xAE", "UTF-8", std::nullopt},
        {"four-byte character", "\xF0\x9F\x98\x80", "UTF-8", std::nullopt},
        {"tab", "\t", "UTF-8", std::nullopt},
        {"latin-1 byte", "\xA0", "ISO-8859-1", '\xA0'},
        {"latin-1 control", "\x92", "ISO-8859-1", std::nullopt},
        {"other code set, ascii", ",", "ISO-8859-15", ','},
        {"other code set, high byte", "\xA4", "ISO-8859-15", std::nullopt},
        {"empty", "", "UTF-8", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Windows1252Char(c.text, c.codeset), c.expected) << c.name;
}

TEST(DateSeparatorOfFormatTest, TextBetweenTheFirstTwoFields) {
    const struct {
        const char* format;
        std::optional<std::string> expected;
    } cases[] = {
        {"%d.%m.%Y", "."},  {"%m/%d/%y", "/"},    {"%Y-%m-%d", "-"},     {"%d%m%Y", ""},
        {"%D", "/"},        {"%F", "-"},          {"%Y. %m. %d.", ". "}, {"%e/%m/%Y", "/"},
        {"%Ey.%m", "."},    {"%%%d-%m", "-"},     {"%d%%%m", "%"},       {"%-d|%m", "|"},
        {"", std::nullopt}, {"%d", std::nullopt}, {"%x", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DateSeparatorOfFormat(c.format), c.expected) << c.format;
}

}  // namespace
}  // namespace velkora
