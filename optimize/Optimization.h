// SPDX-License-Identifier: GPL-3.0-or-later
// One optimization of a design in memory: the design space, the objective on
// the NEC-2 engine and the search, as velkora-cli optimize and the Optimize
// dialog both run it.
#pragma once

#include <optional>

#include "DesignSpace.h"
#include "Goals.h"
#include "NecDeck.h"
#include "Objective.h"
#include "Search.h"

namespace velkora {

struct OptimizeRequest {
    Goals goals;
    VaryOptions vary;
    SearchOptions search;
    std::optional<FrequencySweep> band;  // F0 alone when empty
    double z0 = 50;
};

struct OptimizeResult {
    Evaluation start;
    Evaluation best;
    int runs = 0;
    double seconds = 0;
    bool stopped = false;  // a stop request ended it: best is the best so far
};

// Safe on any thread. stop is asked before every run and while nec2c runs;
// progress is told after every run. Throws Failure when the design has fewer
// than two elements, cannot be modelled, or nec2c fails.
OptimizeResult Optimize(const Design& design, const OptimizeRequest& request,
                        const StopRequest& stop, const SearchProgress& progress);

}  // namespace velkora
