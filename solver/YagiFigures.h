// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of a Yagi at one frequency, from its feed and two pattern cuts.
#pragma once

#include <vector>

#include "NecReport.h"
#include "SolveResult.h"

namespace velkora {

// The samples of an RP block as a cut, sorted by angle from forward: the
// azimuth cut counter-clockwise from the forward azimuth; the elevation cut
// up from the forward horizon through the zenith (see CutPoint).
std::vector<CutPoint> AzimuthCut(const std::vector<PatternGain>& block, double forwardAzimuth);
std::vector<CutPoint> ElevationCut(const std::vector<PatternGain>& block, double forwardAzimuth);

// The elevation (degrees) of the strongest gain between the horizon and the
// zenith, in front.
double TakeoffOf(const std::vector<CutPoint>& elevation);

// Everything but mhz and the feed. Over ground the elevation cut ends at the
// back horizon and the azimuth cut is taken at the take-off elevation.
FrequencyFigures FiguresOf(std::vector<CutPoint> azimuth, std::vector<CutPoint> elevation,
                           bool overGround);

// The SWR of a feed impedance against z0; infinite when nothing is matched.
double SwrOf(double resistance, double reactance, double z0);

}  // namespace velkora
