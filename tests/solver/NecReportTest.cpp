// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a captured report of nec2c.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Failure.h"
#include "NecReport.h"
#include "YagiFigures.h"

namespace velkora {
namespace {

TEST(NecReportTest, ReadsEveryFrequencyOfACapturedReport) {
    std::ifstream in(VELKORA_TEST_DATA "/k6sti10-two-frequencies.out", std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(bytes.empty());
    const std::vector<FrequencyReport> report = ParseNecReport(bytes);
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(FrequenciesIn(bytes), 2);
    EXPECT_DOUBLE_EQ(report[0].mhz, 28.5);
    EXPECT_DOUBLE_EQ(report[0].resistance, 28.569);
    EXPECT_DOUBLE_EQ(report[0].reactance, -0.028609);
    EXPECT_DOUBLE_EQ(report[1].mhz, 29.0);
    EXPECT_DOUBLE_EQ(report[1].reactance, 13.882);
    ASSERT_EQ(report[1].patterns.size(), 1u);
    EXPECT_EQ(report[1].patterns[0].size(), 73u);
    EXPECT_NEAR(SwrOf(report[1].resistance, report[1].reactance, 50), 2.387, 0.001);

    EXPECT_THROW(ParseNecReport("nec2c: floating point exception\n"), Failure);
}

}  // namespace
}  // namespace velkora
