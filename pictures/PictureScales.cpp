// SPDX-License-Identifier: GPL-3.0-or-later
// The scales of the pictures as plain numbers.
#include "PictureScales.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velkora {

double ArrlRadius(double dbBelow) { return std::pow(0.89, -std::min(dbBelow, 0.0) / 2.0); }

PlotPoint PolarPosition(PolarView view, double angleDeg, double radius) {
    const double a = angleDeg * std::numbers::pi / 180.0;
    if (view == PolarView::Azimuth) return {-radius * std::sin(a), -radius * std::cos(a)};
    return {radius * std::cos(a), -radius * std::sin(a)};
}

std::vector<double> AxisTicks(double low, double high, int wanted) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    if (!(high > low)) high = low + 1.0;
    const double rough = (high - low) / std::max(wanted, 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10.0 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    std::vector<double> ticks;
    const double first = std::floor(low / step + 1e-9) * step;
    for (double tick = first; tick < high + step - 1e-9 * step; tick += step) ticks.push_back(tick);
    return ticks;
}

std::complex<double> Reflection(double r, double x, double z0) {
    const std::complex<double> z(r / z0, x / z0);
    return (z - 1.0) / (z + 1.0);
}

double FitScale(double widthM, double heightM, double boxWidth, double boxHeight, double most) {
    double scale = most;
    if (widthM > 0) scale = std::min(scale, boxWidth / widthM);
    if (heightM > 0) scale = std::min(scale, boxHeight / heightM);
    return scale;
}

}  // namespace velkora
