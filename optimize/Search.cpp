// SPDX-License-Identifier: GPL-3.0-or-later
// Local searches by NLopt with restarts from seeded points.
#include "Search.h"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <random>

namespace velkora {

namespace {

// Steps and tolerances in the space's units, where 1 is the whole range.
constexpr double kFirstStep = 0.5;
constexpr double kRestartRadius = 0.3;
constexpr double kPointTolerance = 1e-3;
constexpr double kScoreTolerance = 1e-4;
// Score given up per unit of SWR above the limit, so that the search is led
// back within it.
constexpr double kSwrPenalty = 100;

nlopt_algorithm AlgorithmOf(SearchMethod method) {
    switch (method) {
        case SearchMethod::Bobyqa:
            return NLOPT_LN_BOBYQA;
        case SearchMethod::Subplex:
            return NLOPT_LN_SBPLX;
        case SearchMethod::Cobyla:
            return NLOPT_LN_COBYLA;
        case SearchMethod::NelderMead:
            return NLOPT_LN_NELDERMEAD;
    }
    return NLOPT_LN_BOBYQA;
}

struct Run {
    Objective& objective;
    const SearchOptions& options;
    const StopRequest& stop;
    const SearchProgress& progress;
    nlopt_opt opt = nullptr;
    std::exception_ptr failure;
};

// NLopt minimizes; no exception may cross its C code.
double Minimized(unsigned n, const double* x, double*, void* data) {
    Run& run = *static_cast<Run*>(data);
    if (run.stop() || run.objective.Runs() >= run.options.runs) {
        nlopt_force_stop(run.opt);
        return HUGE_VAL;
    }
    try {
        const Score score = run.objective(std::vector<double>(x, x + n));
        run.progress(run.objective);
        const double value = -score.value + kSwrPenalty * score.swrExcess;
        return std::isfinite(value) ? value : HUGE_VAL;
    } catch (...) {
        run.failure = std::current_exception();
        nlopt_force_stop(run.opt);
        return HUGE_VAL;
    }
}

void LocalSearch(Run& run, std::vector<double> x, double step) {
    const unsigned n = static_cast<unsigned>(x.size());
    const std::unique_ptr<nlopt_opt_s, decltype(&nlopt_destroy)> opt(
        nlopt_create(AlgorithmOf(run.options.method), n), &nlopt_destroy);
    run.opt = opt.get();
    nlopt_set_lower_bounds1(run.opt, -1);
    nlopt_set_upper_bounds1(run.opt, 1);
    nlopt_set_min_objective(run.opt, &Minimized, &run);
    nlopt_set_maxeval(run.opt, run.options.runs - run.objective.Runs() + 1);
    nlopt_set_xtol_abs1(run.opt, kPointTolerance);
    nlopt_set_ftol_abs(run.opt, kScoreTolerance);
    nlopt_set_initial_step1(run.opt, step);
    double value = 0;
    nlopt_optimize(run.opt, x.data(), &value);
    if (run.failure) std::rethrow_exception(run.failure);
}

// A point near the best so far, within the space.
std::vector<double> Restart(const std::vector<double>& best, std::mt19937_64& random) {
    std::uniform_real_distribution<double> shift(-kRestartRadius, kRestartRadius);
    std::vector<double> point = best;
    for (double& x : point) x = std::clamp(x + shift(random), -1.0, 1.0);
    return point;
}

}  // namespace

std::span<const SearchMethodRow> SearchMethods() {
    static constexpr SearchMethodRow rows[] = {
        {SearchMethod::Bobyqa, "bobyqa"},
        {SearchMethod::Subplex, "subplex"},
        {SearchMethod::Cobyla, "cobyla"},
        {SearchMethod::NelderMead, "neldermead"},
    };
    return rows;
}

bool Search(Objective& objective, const SearchOptions& options, const StopRequest& stop,
            const SearchProgress& progress) {
    Run run{objective, options, stop, progress, nullptr, nullptr};
    std::mt19937_64 random(options.seed);
    nlopt_srand(options.seed);
    std::vector<double> from = objective.Start().point;
    double step = kFirstStep;
    while (!stop() && objective.Runs() < options.runs && !from.empty()) {
        const int before = objective.Runs();
        LocalSearch(run, from, step);
        if (objective.Runs() == before) break;  // nothing left to try
        from = Restart(objective.Best().point, random);
        step = kRestartRadius / 2;
    }
    return stop();
}

}  // namespace velkora
