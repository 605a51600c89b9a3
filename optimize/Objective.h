// SPDX-License-Identifier: GPL-3.0-or-later
// The objective of an optimization as a plain function of the variables:
// a point of the design space, evaluated by the engine and scored under
// the goals. It counts the runs and keeps the best design met.
#pragma once

#include <optional>
#include <vector>

#include "DesignEvaluator.h"
#include "DesignSpace.h"
#include "Goals.h"

namespace velkora {

struct Evaluation {
    std::vector<double> point;
    Design design;
    std::vector<FrequencyFigures> band;  // one per frequency of the band, or F0 alone
    FrequencyFigures atF0;
    Score score;
};

class Objective {
  public:
    // Evaluates the start design at once (the first run), so that a design
    // the engine refuses fails before any search. Throws Failure.
    Objective(const DesignSpace& space, DesignEvaluator& evaluator, const Goals& goals,
              const std::optional<FrequencySweep>& band);

    // The score of the design at point; the start's point is not run again.
    // Throws what the evaluator throws.
    Score operator()(const std::vector<double>& point);

    int Runs() const { return runs_; }
    const Evaluation& Start() const { return start_; }
    // The best design so far; a design beyond the SWR limit only while no
    // design within it was met.
    const Evaluation& Best() const { return best_; }

  private:
    Evaluation Evaluate(const std::vector<double>& point);
    FrequencyFigures FiguresAtF0(const Design& design, const std::vector<FrequencyFigures>& band);

    const DesignSpace& space_;
    DesignEvaluator& evaluator_;
    Goals goals_;
    std::optional<FrequencySweep> band_;
    int runs_ = 0;
    Evaluation start_;
    Evaluation best_;
};

}  // namespace velkora
