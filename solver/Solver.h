// SPDX-License-Identifier: GPL-3.0-or-later
// The NEC-2 engine behind one call: a deck and its frequencies in, the
// figures of every frequency out. The window, velkora-cli and the optimizer
// all solve through here.
#pragma once

#include <string>
#include <vector>

#include "ModelWriters.h"
#include "Nec2cRun.h"
#include "NecDeck.h"
#include "SolveResult.h"

namespace velkora {

struct SolveJob {
    std::string deck;         // geometry, ground and source: NecOptions::withoutRequests
    std::vector<double> mhz;  // the results come back in this order
    NecGround ground = NecGround::Free;
    double forwardAzimuth = 0;  // degrees: ForwardAzimuth(axis)
    double z0 = 50;             // ohm, the SWR's reference
    int parts = 0;              // nec2c runs side by side on parts of the band; 0: one per core
};

// The frequencies of a sweep, or F0 alone.
std::vector<double> FrequenciesOf(const NecOptions& options, double f0);

// The job that solves one project's model under options. Throws Failure as
// NecDeckText does.
SolveJob SolveJobOf(const ModelJob& job, const NecOptions& options, double z0);

// The decks the first run gives nec2c, one per part of the band.
std::vector<std::string> FirstRunDecks(const SolveJob& job);

// Runs nec2c on the job and reads the figures from 1 deg pattern cuts: in
// free space the azimuth cut in the plane of the elements and the elevation
// cut through the boom; over ground the elevation cut first, then the
// azimuth cut at the elevation of its maximum (a second run). Throws Failure
// (see RunNec2c) and Stopped.
std::vector<FrequencyFigures> Solve(const SolveJob& job, const RunControl& control = {});

}  // namespace velkora
