// The three characters of the user's regional settings that number and date
// text depend on. Each is one 8-bit character, or empty where "no separator"
// is allowed (thousands and date separators).
#pragma once

#include <string>

namespace velkora {

struct RegionalMarks {
    std::string decimalSeparator = ".";
    std::string thousandsSeparator = ",";
    std::string dateSeparator = "/";

    bool operator==(const RegionalMarks&) const = default;
};

// The marks of the user's locale as the environment names it (LC_ALL,
// LC_NUMERIC, LC_TIME, LANG); a mark that is not exactly one 8-bit character
// falls back to its default.
RegionalMarks ReadUserRegionalMarks();

// The process-wide marks that the plain NumberPattern and DatePattern use.
const RegionalMarks& CurrentRegionalMarks();
void SetCurrentRegionalMarks(const RegionalMarks& marks);
// Re-reads the user's locale into the current marks (at start, and when the
// program is told that the locale changed).
void RefreshRegionalMarks();

}  // namespace velkora
