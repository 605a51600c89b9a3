// SPDX-License-Identifier: GPL-3.0-or-later
// The scales of the pictures as plain numbers: where a gain sits on a polar
// plot, where an impedance sits on a Smith chart, the ticks of an axis and
// the one scale that fits a drawing to scale into a box.
#pragma once

#include <complex>
#include <vector>

namespace velkora {

// The rings of the polar plots, dB below the maximum.
inline constexpr double kPolarRingsDb[] = {0, -3, -6, -10, -20, -30};

// The ARRL log scale: a direction dbBelow dB under the maximum (dbBelow <= 0)
// sits at 0.89^(-dbBelow/2) of the outer ring's radius. Gains above the
// maximum are drawn on the outer ring.
double ArrlRadius(double dbBelow);

// A point of a polar plot, in units of the outer ring's radius, x to the
// right and y downwards as a painter counts.
struct PlotPoint {
    double x;
    double y;
};

// Azimuth plots have forward at the top and count angles counter-clockwise,
// as seen from above; elevation plots have the horizon horizontal, forward
// to the right and 90 degrees straight up.
enum class PolarView { Azimuth, Elevation };

PlotPoint PolarPosition(PolarView view, double angleDeg, double radius);

// Ticks at 1, 2 or 5 times a power of ten that cover [low, high] with about
// `wanted` steps; the first tick is at or below low, the last at or above high.
// A range that is not finite gets the ticks of 0 to 1, so there are always two.
std::vector<double> AxisTicks(double low, double high, int wanted);

// The reflection coefficient of an impedance r + jx against z0: the point of
// the Smith chart, the unit circle's centre at 0.
std::complex<double> Reflection(double r, double x, double z0);

// Metres to pixels: the largest scale at which a width by height metres fits
// into a box, with at most `most` pixels per metre.
double FitScale(double widthM, double heightM, double boxWidth, double boxHeight, double most);

}  // namespace velkora
