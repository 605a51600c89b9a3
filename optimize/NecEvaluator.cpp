// SPDX-License-Identifier: GPL-3.0-or-later
// A design in memory through generate's NEC-2 deck and the solver.
#include "NecEvaluator.h"

#include "Solver.h"

namespace velkora {

std::vector<FrequencyFigures> NecEvaluator::Evaluate(const Design& design,
                                                     const std::optional<FrequencySweep>& band) {
    DesignSource source(design);
    const RegionalMarks marks;
    NecOptions options;
    options.sweep = band;
    return Solve(SolveJobOf({design.project, source, MainLobeAxis::X, marks}, options, z0_),
                 control_);
}

}  // namespace velkora
