// SPDX-License-Identifier: GPL-3.0-or-later
// The three characters of the user's regional settings that number and date
// text depend on. Each is one 8-bit character, or empty where "no separator"
// is allowed (thousands and date separators).
//
// The characters are Windows-1252 bytes, the code page model files are
// written in: a locale whose separator is U+00A0 (no-break space) or U+202F
// (narrow no-break space) gives the byte 0xA0, whatever the locale's own
// character set. A thousands separator equal to the decimal separator is
// never used: numbers then have no grouping.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velkora {

struct RegionalMarks {
    std::string decimalSeparator = ".";
    std::string thousandsSeparator = ",";
    std::string dateSeparator = "/";

    bool operator==(const RegionalMarks&) const = default;
};

// The marks of the user's locale as the environment names it (LC_ALL,
// LC_NUMERIC, LC_TIME, LANG); a mark that is not exactly one Windows-1252
// character falls back to its default. The C and POSIX locales, and a
// locale that is not installed, carry no regional settings and give the
// defaults. The process's own locale (setlocale) is left alone.
RegionalMarks ReadUserRegionalMarks();

// The Windows-1252 byte of a mark given in the character set `codeset` (as
// nl_langinfo(CODESET) names it), or nothing when the text is not exactly one
// character that Windows-1252 has; U+202F stands in as the no-break space.
std::optional<char> Windows1252Char(std::string_view text, std::string_view codeset);

// The text between the first two fields of a strftime date format ("." for
// "%d.%m.%Y", "" for "%d%m%Y"), or nothing when the format has no two fields.
std::optional<std::string> DateSeparatorOfFormat(std::string_view format);

// The process-wide marks that the plain NumberPattern and DatePattern use;
// the user's marks are read on first use. The program has one thread; these
// are not meant to be called from others.
const RegionalMarks& CurrentRegionalMarks();
void SetCurrentRegionalMarks(const RegionalMarks& marks);
// Re-reads the user's locale into the current marks (at start, and when the
// program is told that the locale changed).
void RefreshRegionalMarks();

}  // namespace velkora
