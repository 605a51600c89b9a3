// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluating and scoring points of the design space.
#include "Objective.h"

#include <cmath>

#include "Failure.h"

namespace velkora {

Objective::Objective(const DesignSpace& space, DesignEvaluator& evaluator, const Goals& goals,
                     const std::optional<FrequencySweep>& band)
    : space_(space), evaluator_(evaluator), goals_(goals), band_(band) {
    start_ = Evaluate(std::vector<double>(space_.Dimension(), 0.0));
    best_ = start_;
}

Score Objective::operator()(const std::vector<double>& point) {
    if (point == start_.point) return start_.score;
    Evaluation evaluation = Evaluate(point);
    const Score score = evaluation.score;
    if (Better(score, best_.score)) best_ = std::move(evaluation);
    return score;
}

Evaluation Objective::Evaluate(const std::vector<double>& point) {
    Evaluation evaluation{point, space_.At(point), {}, {}, {}};
    evaluation.band = evaluator_.Evaluate(evaluation.design, band_);
    if (evaluation.band.empty()) throw Failure("nec2c reported no frequency for the design");
    evaluation.atF0 = FiguresAtF0(evaluation.design, evaluation.band);
    evaluation.score = ScoreOf(evaluation.band, evaluation.atF0, goals_);
    ++runs_;
    return evaluation;
}

// The reactance goal reads F0 itself: the band's point at F0 when it has
// one, else a run at F0 alone, made only when that goal counts.
FrequencyFigures Objective::FiguresAtF0(const Design& design,
                                        const std::vector<FrequencyFigures>& band) {
    const double f0 = DoubleOfField(design.project.f0, "F0");
    if (!band_ || goals_.weights.reactance == 0) return band.front();
    for (const FrequencyFigures& row : band)
        if (std::abs(row.mhz - f0) <= 1e-9 * f0) return row;
    return evaluator_.Evaluate(design, std::nullopt).front();
}

}  // namespace velkora
