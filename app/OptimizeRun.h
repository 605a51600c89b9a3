// SPDX-License-Identifier: GPL-3.0-or-later
// One optimization of a design in memory, as the Optimize dialog asks for
// it: the design space, the objective on the NEC-2 engine and the search.
#pragma once

#include <QString>
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
    QString name;  // of the new project
};

struct OptimizeResult {
    Evaluation start;
    Evaluation best;
    int runs = 0;
    double seconds = 0;
    bool stopped = false;  // a stop request ended it: best is the best so far
};

// Safe on any thread. stop is asked before every run and while nec2c runs;
// progress is told after every run. Throws Failure when the design cannot be
// modelled or nec2c fails.
OptimizeResult RunOptimizer(const Design& design, const OptimizeRequest& request,
                            const StopRequest& stop, const SearchProgress& progress);

}  // namespace velkora
