// SPDX-License-Identifier: GPL-3.0-or-later
// Solving the 6-element sample with nec2c: the figures against a plain scan
// of nec2c's own pattern of the whole sphere at 1 deg, and a band split into
// parts against one run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "NecReport.h"
#include "Solver.h"

namespace velkora {
namespace {

// The NEC deck of the sample "6-el. Yagi 20 m NW3Z (48 ft boom)", corrected
// taper, boom on X, 15 m up.
constexpr const char* kGeometry =
    "CM 6-el. Yagi 20 m NW3Z (48 ft boom)\nCE\n"
    "GW 1 11 0 5.36684 15 0 -5.36684 15 0.009179\n"
    "GW 10 11 2.286 5.19525 15 2.286 -5.19525 15 0.0092733\n"
    "GW 19 10 3.5438 4.955378 15 3.5438 -4.955378 15 0.0094175\n"
    "GW 28 10 6.7742 4.806627 15 6.7742 -4.806627 15 0.0095149\n"
    "GW 37 10 9.8664 4.806911 15 9.8664 -4.806911 15 0.0095147\n"
    "GW 46 9 14.478 4.633501 15 14.478 -4.633501 15 0.009637\n"
    "GE 0\n";
constexpr const char* kSource = "EX 0 10 6 0 1 0\n";
constexpr double kMhz = 14.175;

// Total gain by (theta, phi) in whole degrees.
using Sphere = std::map<std::pair<int, int>, double>;

Sphere WholeSphere(const std::string& deck, int lastTheta) {
    const std::string request = "PT -1 0 0 0\nFR 0 1 0 0 14.175 0\nRP 0 " +
                                std::to_string(lastTheta + 1) + " 360 1000 0 0 1 1\nEN\n";
    Sphere sphere;
    const FrequencyReport report = ParseNecReport(RunNec2c({deck + request}, {}).front()).front();
    for (const PatternGain& gain : report.patterns.front())
        sphere[{static_cast<int>(std::lround(gain.theta)),
                static_cast<int>(std::lround(gain.phi))}] = gain.total;
    return sphere;
}

struct Scan {
    std::vector<double> gains;  // one per degree from forward
    bool circle;
};

// From forward upwards over the zenith to the back and (in free space) on
// below back to forward.
Scan VerticalCircle(const Sphere& sphere, bool overGround) {
    Scan scan{{}, !overGround};
    for (int up = 0; up < (overGround ? 181 : 360); ++up) {
        const int theta = up <= 90 ? 90 - up : up <= 270 ? up - 90 : 450 - up;
        const int phi = up <= 90 || up > 270 ? 0 : 180;
        scan.gains.push_back(sphere.at({theta, phi}));
    }
    return scan;
}

Scan Horizontal(const Sphere& sphere, int theta) {
    Scan scan{{}, true};
    for (int phi = 0; phi < 360; ++phi) scan.gains.push_back(sphere.at({theta, phi}));
    return scan;
}

int OffForward(int angle) { return std::min(angle % 360, 360 - angle % 360); }

double RearBest(const Scan& scan) {
    double best = -1e9;
    for (std::size_t a = 0; a < scan.gains.size(); ++a)
        if (OffForward(static_cast<int>(a)) > 90) best = std::max(best, scan.gains[a]);
    return best;
}

// Whole degrees on each side of the peak that stay within 3 dB.
double Beamwidth(const Scan& scan, int peak) {
    const int n = static_cast<int>(scan.gains.size());
    const double level = scan.gains[peak] - 3;
    int width = 0;
    for (const int side : {-1, 1})
        for (int a = peak + side, steps = 1; steps < n; a += side, ++steps) {
            if (!scan.circle && (a < 0 || a >= n)) break;
            if (scan.gains[(a + n) % n] < level) break;
            ++width;
        }
    return width;
}

// Whether a path from the peak to a dips below a's gain on the way.
bool DipBetween(const Scan& scan, int peak, int a, int side) {
    const int n = static_cast<int>(scan.gains.size());
    for (int at = peak + side; (at + n) % n != a; at += side) {
        if (!scan.circle && (at < 0 || at >= n)) return true;  // no way round an open cut
        if (scan.gains[(at + n) % n] < scan.gains[a]) return true;
    }
    return false;
}

// The strongest local maximum cut off from the peak by a dip either way.
double Sidelobe(const Scan& scan, int peak) {
    const int n = static_cast<int>(scan.gains.size());
    double best = -1e9;
    for (int a = 0; a < n; ++a) {
        const bool first = !scan.circle && a == 0, last = !scan.circle && a == n - 1;
        const double g = scan.gains[a];
        if (a != peak && (first || g >= scan.gains[(a + n - 1) % n]) &&
            (last || g >= scan.gains[(a + 1) % n]) && DipBetween(scan, peak, a, 1) &&
            DipBetween(scan, peak, a, -1))
            best = std::max(best, g);
    }
    return best - scan.gains[peak];
}

int ArgMax(const Scan& scan, int from, int to) {
    return static_cast<int>(std::max_element(scan.gains.begin() + from, scan.gains.begin() + to) -
                            scan.gains.begin());
}

TEST(BruteForceTest, FiguresMatchAScanOfTheWholePattern) {
    for (const NecGround ground : {NecGround::Free, NecGround::Real}) {
        const bool overGround = ground == NecGround::Real;
        SCOPED_TRACE(overGround ? "average real ground" : "free space");
        const std::string deck =
            std::string(kGeometry) + (overGround ? "GN 2 0 0 0 13 0.005\n" : "") + kSource;
        const FrequencyFigures got = Solve({deck, {kMhz}, ground, 0, 50, 1}).front();

        const Sphere sphere = WholeSphere(deck, overGround ? 90 : 180);
        const Scan vertical = VerticalCircle(sphere, overGround);
        const int takeoff = overGround ? ArgMax(vertical, 0, 91) : 0;
        const Scan horizontal = Horizontal(sphere, 90 - takeoff);
        const int verticalPeak = overGround ? takeoff : ArgMax(vertical, 0, 1);
        const double forward = vertical.gains[verticalPeak];
        EXPECT_NEAR(got.forwardGain, forward, 0.3);
        EXPECT_NEAR(got.frontToBack, forward - vertical.gains[180 - takeoff], 0.3);
        EXPECT_NEAR(got.frontToRearE, forward - RearBest(horizontal), 0.3);
        EXPECT_NEAR(got.frontToRearH, forward - RearBest(vertical), 0.3);
        EXPECT_NEAR(got.beamwidthE, Beamwidth(horizontal, 0), 2);
        EXPECT_NEAR(got.beamwidthH, Beamwidth(vertical, verticalPeak), 2);
        EXPECT_NEAR(got.sidelobe,
                    std::max(Sidelobe(horizontal, 0), Sidelobe(vertical, verticalPeak)), 0.3);
        if (overGround) {
            ASSERT_TRUE(got.takeoff);
            EXPECT_NEAR(*got.takeoff, takeoff, 2);
        } else {
            EXPECT_FALSE(got.takeoff);
        }
        EXPECT_EQ(got.azimuthCut.size(), 360u);
        EXPECT_EQ(got.elevationCut.size(), overGround ? 181u : 360u);
    }
}

TEST(SolverTest, PartsOfTheBandJoinInOrder) {
    const std::string deck = std::string(kGeometry) + kSource;
    const std::vector<double> band = {14.0, 14.05, 14.1, 14.15, 14.2, 14.25, 14.3};
    const std::vector<FrequencyFigures> whole = Solve({deck, band, NecGround::Free, 0, 50, 1});
    const std::vector<FrequencyFigures> parts = Solve({deck, band, NecGround::Free, 0, 50, 3});
    ASSERT_EQ(whole.size(), band.size());
    ASSERT_EQ(parts.size(), band.size());
    for (std::size_t i = 0; i < band.size(); ++i) {
        EXPECT_EQ(parts[i].mhz, band[i]);
        EXPECT_EQ(parts[i].resistance, whole[i].resistance) << band[i];
        EXPECT_EQ(parts[i].forwardGain, whole[i].forwardGain) << band[i];
    }
}

}  // namespace
}  // namespace velkora
