// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of velkora-cli optimize turned into the optimizer's
// settings; every value is checked before anything runs.
#pragma once

#include <QString>
#include <optional>

#include "CliArguments.h"
#include "Optimization.h"

namespace velkora {

struct OptimizeSettings : OptimizeRequest {
    QString name;  // empty: the project's name with " (optimized)"
};

// Throws UsageError with what is wrong and what would be right.
OptimizeSettings OptimizeSettingsOf(const CliArguments& parsed);

}  // namespace velkora
