// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "DatePattern.h"
#include "Failure.h"

namespace velkora {
namespace {

std::tm Date(int year, int month, int day) {
    std::tm moment{};
    moment.tm_year = year - 1900;
    moment.tm_mon = month - 1;
    moment.tm_mday = day;
    moment.tm_hour = 23;
    moment.tm_min = 59;
    return moment;
}

TEST(DatePatternTest, DayMonthYearWithTheDateSeparator) {
    const struct {
        const char* name;
        const char* pattern;
        std::tm moment;
        const char* separator;
        const char* text;
    } cases[] = {
        {"slash", "dd/mm/yyyy", Date(2026, 12, 6), "/", "06/12/2026"},
        {"full stop", "dd/mm/yyyy", Date(2026, 12, 6), ".", "06.12.2026"},
        {"hyphen", "dd/mm/yyyy", Date(2026, 12, 6), "-", "06-12-2026"},
        {"no separator", "dd/mm/yyyy", Date(2026, 12, 6), "", "06122026"},
        {"upper case", "DD/MM/YYYY", Date(2026, 1, 31), "/", "31/01/2026"},
        {"mixed case", "Dd/mM/yYyY", Date(2026, 1, 31), "/", "31/01/2026"},
        {"early year", "dd/mm/yyyy", Date(987, 3, 9), "/", "09/03/0987"},
        {"order as given", "yyyy/mm/dd", Date(2026, 12, 6), "-", "2026-12-06"},
    };
    for (const auto& c : cases) {
        const RegionalMarks marks{".", ",", c.separator};
        EXPECT_EQ(DatePattern(c.pattern, c.moment, marks), c.text) << c.name;
    }
}

TEST(DatePatternTest, PlainFormUsesCurrentMarks) {
    const RegionalMarks saved = CurrentRegionalMarks();
    SetCurrentRegionalMarks(RegionalMarks{",", ".", "."});
    EXPECT_EQ(DatePattern("dd/mm/yyyy", Date(2026, 12, 6)), "06.12.2026");
    SetCurrentRegionalMarks(saved);
}

TEST(DatePatternTest, RefusesOtherPatterns) {
    for (const char* pattern :
         {"d/m/yy", "dd/mm/yyyy hh:nn", "ddd", "mmm", "dd-mm-yyyy", "yyyyy"}) {
        try {
            (void)DatePattern(pattern, Date(2026, 12, 6), RegionalMarks{});
            ADD_FAILURE() << pattern << " accepted";
        } catch (const Failure& e) {
            EXPECT_EQ(
                std::string(e.what()),
                "Date pattern \"" + std::string(pattern) +
                    "\" is not supported: only \"dd\", \"mm\", \"yyyy\" and \"/\" may be used");
        }
    }
}

}  // namespace
}  // namespace velkora
