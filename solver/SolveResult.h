// SPDX-License-Identifier: GPL-3.0-or-later
// What the NEC-2 engine tells about a Yagi at one frequency: the feed, the
// figures designers quote, and the two pattern cuts they are read from.
#pragma once

#include <optional>
#include <vector>

namespace velkora {

// One direction of a pattern cut. Angles are degrees from the forward
// direction (towards the directors): in the azimuth cut counter-clockwise seen
// from above (0 to 359); in the elevation cut upwards through the zenith in the
// vertical plane through the boom (90 is straight up, 180 the horizon behind;
// in free space the cut goes on below to 359, over ground it ends at 180).
struct CutPoint {
    double angleDeg = 0;
    double gainDbi = 0;
};

struct FrequencyFigures {
    double mhz = 0;
    double resistance = 0;    // ohm, at the source
    double reactance = 0;     // ohm
    double swr = 0;           // against the reference impedance
    double forwardGain = 0;   // dBi, the maximum of the forward lobe
    double frontToBack = 0;   // dB, forward gain minus the gain exactly behind
    double frontToRearE = 0;  // dB, E-plane: forward minus the largest gain more than 90 deg off
    double frontToRearH = 0;  // dB, H-plane: the same in the vertical plane through the boom
    double beamwidthE = 0;    // degrees between the -3 dB points of the E-plane cut
    double beamwidthH = 0;    // degrees between the -3 dB points of the H-plane cut
    double sidelobe = 0;      // dB, the strongest lobe outside the main lobe, relative to it (<= 0)
    std::optional<double> takeoff;     // degrees above the horizon of the maximum; over ground only
    std::vector<CutPoint> azimuthCut;  // E-plane, at the elevation of the maximum, 1 deg steps
    std::vector<CutPoint> elevationCut;  // H-plane, 1 deg steps
};

}  // namespace velkora
