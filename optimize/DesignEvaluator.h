// SPDX-License-Identifier: GPL-3.0-or-later
// What the optimizer asks of the NEC-2 engine: the figures of a design in
// memory over a band, or at its F0 alone.
#pragma once

#include <optional>
#include <vector>

#include "Design.h"
#include "NecDeck.h"
#include "SolveResult.h"

namespace velkora {

class DesignEvaluator {
  public:
    virtual ~DesignEvaluator() = default;
    // One entry per frequency of the band in its order, or one at F0 when
    // band is empty. Throws Failure.
    virtual std::vector<FrequencyFigures> Evaluate(const Design& design,
                                                   const std::optional<FrequencySweep>& band) = 0;
};

}  // namespace velkora
