// SPDX-License-Identifier: GPL-3.0-or-later
#include "Optimization.h"

#include <chrono>

#include "ModelWriters.h"
#include "NecEvaluator.h"
#include "RegionalMarks.h"

namespace velkora {

OptimizeResult Optimize(const Design& design, const OptimizeRequest& request,
                        const StopRequest& stop, const SearchProgress& progress) {
    const auto began = std::chrono::steady_clock::now();
    if (design.elements.size() < 2)
        throw Failure("The project has " + std::to_string(design.elements.size()) +
                      " element(s); optimizing needs at least two");
    {
        // A project the NEC-2 writer refuses fails with its reason before any run.
        DesignSource source(design);
        const RegionalMarks marks;
        NecDeckText({design.project, source, MainLobeAxis::X, marks}, NecOptions{});
    }
    const DesignSpace space(design, request.vary);
    RunControl control;
    control.stopRequested = stop;
    NecEvaluator evaluator(request.z0, control);
    Objective objective(space, evaluator, request.goals, request.band);
    OptimizeResult result;
    try {
        result.stopped = Search(objective, request.search, stop, progress);
    } catch (const Stopped&) {
        result.stopped = true;  // the run cut short is not counted
    }
    result.start = objective.Start();
    result.best = objective.Best();
    result.runs = objective.Runs();
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return result;
}

}  // namespace velkora
