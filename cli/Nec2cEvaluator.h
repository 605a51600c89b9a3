// SPDX-License-Identifier: GPL-3.0-or-later
// The optimizer's engine on nec2c: a design's corrected NEC-2 deck run once.
#pragma once

#include "DesignEvaluator.h"

namespace velkora {

class Nec2cEvaluator : public DesignEvaluator {
  public:
    explicit Nec2cEvaluator(double z0) : z0_(z0) {}
    std::vector<FrequencyFigures> Evaluate(const Design& design,
                                           const std::optional<FrequencySweep>& band) override;

  private:
    double z0_;
};

}  // namespace velkora
