// SPDX-License-Identifier: GPL-3.0-or-later
// The figures read from one pattern cut: its main lobe, the -3 dB
// beamwidth, the strongest gain behind and the strongest side lobe.
#pragma once

#include <cstddef>
#include <vector>

#include "SolveResult.h"

namespace velkora {

struct CutFigures {
    std::size_t peak = 0;  // index of the main lobe's maximum
    double peakGain = 0;   // dBi
    double beamwidth = 0;  // degrees between the -3 dB points
    double rearGain = 0;   // dBi, the largest more than 90 deg from forward
    double sidelobe = 0;   // dB, the largest gain outside the main lobe minus peakGain
};

// A cut of equal steps in angle (degrees from forward, see CutPoint); a whole
// circle closes on itself. The main lobe is the maximum reached by climbing
// from `start`, out to the first minimum on each side. A -3 dB point lies
// where the gain crosses peakGain - 3, interpolated between samples; an
// open cut that never drops that far counts to its end. When the main lobe
// fills the cut, the side lobe is the deepest point's gain. The cut holds at
// least two points.
CutFigures FiguresOfCut(const std::vector<CutPoint>& cut, std::size_t start, bool circle);

}  // namespace velkora
