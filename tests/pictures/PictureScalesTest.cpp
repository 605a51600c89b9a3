// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "PictureScales.h"

namespace velkora {
namespace {

TEST(PictureScales, ArrlRadiusFollowsTheLogScale) {
    const struct {
        const char* name;
        double db;
        double radius;
    } rows[] = {{"maximum", 0, 1.0},
                {"three_down", -3, 0.8396},
                {"ten_down", -10, 0.5584},
                {"thirty_down", -30, 0.1741},
                {"above_maximum", 2, 1.0}};
    for (const auto& row : rows) EXPECT_NEAR(ArrlRadius(row.db), row.radius, 5e-5) << row.name;
}

TEST(PictureScales, PolarPositionPutsForwardWhereEachViewWantsIt) {
    const struct {
        const char* name;
        PolarView view;
        double angle;
        double x;
        double y;
    } rows[] = {{"azimuth_forward_up", PolarView::Azimuth, 0, 0, -1},
                {"azimuth_90_left", PolarView::Azimuth, 90, -1, 0},
                {"azimuth_back_down", PolarView::Azimuth, 180, 0, 1},
                {"elevation_forward_right", PolarView::Elevation, 0, 1, 0},
                {"elevation_zenith_up", PolarView::Elevation, 90, 0, -1},
                {"elevation_below_down", PolarView::Elevation, 270, 0, 1}};
    for (const auto& row : rows) {
        const PlotPoint point = PolarPosition(row.view, row.angle, 1.0);
        EXPECT_NEAR(point.x, row.x, 1e-12) << row.name;
        EXPECT_NEAR(point.y, row.y, 1e-12) << row.name;
    }
}

TEST(PictureScales, AxisTicksCoverTheRangeInRoundSteps) {
    const struct {
        const char* name;
        double low;
        double high;
        std::vector<double> ticks;
    } rows[] = {{"swr", 1, 3.7, {1, 1.5, 2, 2.5, 3, 3.5, 4}},
                {"ohm_across_zero", -42, 61, {-60, -40, -20, 0, 20, 40, 60, 80}},
                {"band", 13.96, 14.39, {13.9, 14, 14.1, 14.2, 14.3, 14.4}},
                {"empty_range", 5, 5, {5, 5.2, 5.4, 5.6, 5.8, 6}},
                {"not_finite", 1, std::nan(""), {0, 0.2, 0.4, 0.6, 0.8, 1}}};
    for (const auto& row : rows) {
        const std::vector<double> ticks = AxisTicks(row.low, row.high, 6);
        ASSERT_EQ(ticks.size(), row.ticks.size()) << row.name;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], row.ticks[i], 1e-9) << row.name << " tick " << i;
    }
}

TEST(PictureScales, ReflectionPlacesImpedancesOnTheSmithChart) {
    const struct {
        const char* name;
        double r;
        double x;
        std::complex<double> gamma;
    } rows[] = {{"matched_centre", 50, 0, {0, 0}},
                {"twice_z0_swr_2", 100, 0, {1.0 / 3, 0}},
                {"short_left_edge", 0, 0, {-1, 0}},
                {"plus_j_z0_top_half", 50, 50, {0.2, 0.4}}};
    for (const auto& row : rows) {
        const std::complex<double> gamma = Reflection(row.r, row.x, 50);
        EXPECT_NEAR(gamma.real(), row.gamma.real(), 1e-12) << row.name;
        EXPECT_NEAR(gamma.imag(), row.gamma.imag(), 1e-12) << row.name;
    }
}

}  // namespace
}  // namespace velkora
