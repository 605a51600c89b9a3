// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaperCorrection.h"

#include <cmath>
#include <numbers>

namespace velkora {

namespace {

constexpr double kSpeedOfLightMegametresPerSecond = 299.792458;

double CharacteristicImpedance(double halfLength, double diameterMm) {
    const double radius = diameterMm / 2000.0;
    return 120.0 * (std::log(2.0 * halfLength / radius) - 1.0);
}

// The state of a lossless line seen from its inner end: reactance
// X = Z tan(phase). Keeping the phase instead of X avoids the poles of the
// tangent; moving to a line of another impedance keeps X (and the quadrant).
double PhaseOnLine(double phase, double fromImpedance, double toImpedance) {
    const double turned =
        std::atan2(fromImpedance * std::sin(phase), toImpedance * std::cos(phase));
    const double turns = std::round((phase - turned) / (2.0 * std::numbers::pi));
    return turned + turns * 2.0 * std::numbers::pi;
}

}  // namespace

UniformElement EquivalentUniformElement(const std::vector<TubePiece>& pieces, double frequencyMHz) {
    const double beta = 2.0 * std::numbers::pi * frequencyMHz / kSpeedOfLightMegametresPerSecond;
    double halfLength = 0.0;
    double weighted = 0.0;
    for (const TubePiece& piece : pieces) {
        halfLength += piece.length;
        weighted += piece.length * piece.diameter;
    }
    const UniformElement same{halfLength, pieces.empty() ? 0.0 : weighted / halfLength};
    if (pieces.size() < 2) return same;

    // An open tip: X = -Z cot(beta l) = Z tan(pi/2 + beta l).
    double phase = std::numbers::pi / 2.0;
    double impedance = CharacteristicImpedance(halfLength, pieces.back().diameter);
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        const double own = CharacteristicImpedance(halfLength, piece->diameter);
        phase = PhaseOnLine(phase, impedance, own) + beta * piece->length;
        impedance = own;
    }
    // The uniform line's impedance depends on its own length: a few rounds of
    // a fixed point settle it, as the dependence is only logarithmic.
    double uniformLength = halfLength;
    for (int round = 0; round < 8; ++round) {
        const double uniform = CharacteristicImpedance(uniformLength, same.diameter);
        uniformLength = (PhaseOnLine(phase, impedance, uniform) - std::numbers::pi / 2.0) / beta;
    }
    return {uniformLength, same.diameter};
}

}  // namespace velkora
