// SPDX-License-Identifier: GPL-3.0-or-later
// The search over the design space: NLopt's derivative-free local methods,
// run first from the start design and then again from seeded points near the
// best design so far, until the budget of runs is spent.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "Objective.h"

namespace velkora {

enum class SearchMethod { Bobyqa, Subplex, Cobyla, NelderMead };

struct SearchMethodRow {
    SearchMethod method;
    std::string_view name;
};
std::span<const SearchMethodRow> SearchMethods();

struct SearchOptions {
    int runs = 600;          // the budget: evaluations of a design, the start's included
    std::uint64_t seed = 1;  // the same seed and budget give the same design
    SearchMethod method = SearchMethod::Bobyqa;
};

// Called after every run.
using SearchProgress = std::function<void(const Objective& objective)>;

// Asked before every run; true ends the search.
using StopRequest = std::function<bool()>;

// Searches until the budget is spent or a stop is requested; the result is
// objective.Best(). Returns whether a stop request ended it. Throws what
// the objective throws.
bool Search(Objective& objective, const SearchOptions& options, const StopRequest& stop,
            const SearchProgress& progress);

}  // namespace velkora
