// SPDX-License-Identifier: GPL-3.0-or-later
// The optimizer's engine: a design's NEC-2 model, as solve makes it
// (corrected taper, free space), solved with the band split across cores.
#pragma once

#include "DesignEvaluator.h"
#include "Nec2cRun.h"

namespace velkora {

class NecEvaluator : public DesignEvaluator {
  public:
    // control steers every run: a stop request ends the run in progress
    // with Stopped.
    NecEvaluator(double z0, RunControl control) : z0_(z0), control_(std::move(control)) {}
    std::vector<FrequencyFigures> Evaluate(const Design& design,
                                           const std::optional<FrequencySweep>& band) override;

  private:
    double z0_;
    RunControl control_;
};

}  // namespace velkora
