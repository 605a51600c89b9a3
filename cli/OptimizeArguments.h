// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of velkora-cli optimize turned into the optimizer's
// settings; every value is checked before anything runs.
#pragma once

#include <QString>
#include <optional>

#include "CliArguments.h"
#include "DesignSpace.h"
#include "Goals.h"
#include "NecDeck.h"
#include "Search.h"

namespace velkora {

struct OptimizeSettings {
    Goals goals;
    VaryOptions vary;
    SearchOptions search;
    std::optional<FrequencySweep> band;  // F0 alone when empty
    double z0 = 50;
    QString name;  // empty: the project's name with " (optimized)"
};

// Throws UsageError with what is wrong and what would be right.
OptimizeSettings OptimizeSettingsOf(const CliArguments& parsed);

}  // namespace velkora
