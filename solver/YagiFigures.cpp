// SPDX-License-Identifier: GPL-3.0-or-later
// Turns two pattern cuts into the figures designers quote.
#include "YagiFigures.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "CutFigures.h"
#include "Failure.h"

namespace velkora {

namespace {

double Circle(double angle) {
    const double wrapped = std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0);
    return std::round(wrapped * 1e6) / 1e6 == 360.0 ? 0.0 : wrapped;
}

bool SameAngle(double a, double b) { return std::abs(std::remainder(a - b, 360.0)) < 1e-6; }

std::vector<CutPoint> Sorted(std::vector<CutPoint> cut) {
    std::sort(cut.begin(), cut.end(),
              [](const CutPoint& a, const CutPoint& b) { return a.angleDeg < b.angleDeg; });
    cut.erase(std::unique(cut.begin(), cut.end(),
                          [](const CutPoint& a, const CutPoint& b) {
                              return SameAngle(a.angleDeg, b.angleDeg);
                          }),
              cut.end());
    if (cut.size() < 2) throw Failure("the report of nec2c holds too few pattern points for a cut");
    return cut;
}

// The sample nearest to an angle.
std::size_t At(const std::vector<CutPoint>& cut, double angle) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < cut.size(); ++i)
        if (std::abs(std::remainder(cut[i].angleDeg - angle, 360.0)) <
            std::abs(std::remainder(cut[best].angleDeg - angle, 360.0)))
            best = i;
    return best;
}

}  // namespace

std::vector<CutPoint> AzimuthCut(const std::vector<PatternGain>& block, double forwardAzimuth) {
    std::vector<CutPoint> cut;
    for (const PatternGain& gain : block)
        cut.push_back({Circle(gain.phi - forwardAzimuth), gain.total});
    return Sorted(std::move(cut));
}

std::vector<CutPoint> ElevationCut(const std::vector<PatternGain>& block, double forwardAzimuth) {
    std::vector<CutPoint> cut;
    for (const PatternGain& gain : block) {
        if (SameAngle(gain.phi, forwardAzimuth))
            cut.push_back({Circle(90.0 - gain.theta), gain.total});
        else if (SameAngle(gain.phi, forwardAzimuth + 180.0))
            cut.push_back({Circle(90.0 + gain.theta), gain.total});
    }
    return Sorted(std::move(cut));
}

double TakeoffOf(const std::vector<CutPoint>& elevation) {
    const CutPoint* best = nullptr;
    for (const CutPoint& point : elevation)
        if (point.angleDeg <= 90.0 && (best == nullptr || point.gainDbi > best->gainDbi))
            best = &point;
    return best != nullptr ? best->angleDeg : 0.0;
}

FrequencyFigures FiguresOf(std::vector<CutPoint> azimuth, std::vector<CutPoint> elevation,
                           bool overGround) {
    FrequencyFigures figures;
    const std::size_t front = overGround ? At(elevation, TakeoffOf(elevation)) : At(elevation, 0);
    const CutFigures e = FiguresOfCut(azimuth, At(azimuth, 0), true);
    const CutFigures h = FiguresOfCut(elevation, front, !overGround);
    if (overGround) {
        figures.takeoff = elevation[front].angleDeg;
        figures.forwardGain = elevation[front].gainDbi;
        figures.frontToBack =
            figures.forwardGain - elevation[At(elevation, 180.0 - *figures.takeoff)].gainDbi;
    } else {
        figures.forwardGain = e.peakGain;
        figures.frontToBack = figures.forwardGain - azimuth[At(azimuth, 180.0)].gainDbi;
    }
    figures.frontToRearE = figures.forwardGain - e.rearGain;
    figures.frontToRearH = figures.forwardGain - h.rearGain;
    figures.beamwidthE = e.beamwidth;
    figures.beamwidthH = h.beamwidth;
    figures.sidelobe = std::max(e.sidelobe, h.sidelobe);
    figures.azimuthCut = std::move(azimuth);
    figures.elevationCut = std::move(elevation);
    return figures;
}

double SwrOf(double resistance, double reactance, double z0) {
    const std::complex<double> z(resistance, reactance);
    const double reflection = std::abs((z - z0) / (z + z0));
    return reflection < 1.0 ? (1.0 + reflection) / (1.0 - reflection)
                            : std::numeric_limits<double>::infinity();
}

}  // namespace velkora
