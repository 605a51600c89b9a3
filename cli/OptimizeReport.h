// SPDX-License-Identifier: GPL-3.0-or-later
// What velkora-cli optimize prints: the new project, the figures before and
// after, and where the elements went; as a table or as JSON.
#pragma once

#include <QString>
#include <QTextStream>

#include "Optimization.h"

namespace velkora {

struct OptimizeOutcome : OptimizeResult {
    QString stoppedBy;   // the signal that stopped the search, empty when the budget ended it
    qint64 project = 0;  // the new project's ID
    QString name;
};

void PrintOptimizeText(QTextStream& out, const OptimizeOutcome& outcome,
                       const SearchOptions& search);
// {"project": ID, "runs": N, "seconds": S, "before": {...}, "after": {...}, ...}
// with the per-frequency keys of solve --json.
void PrintOptimizeJson(QTextStream& out, const OptimizeOutcome& outcome,
                       const SearchOptions& search);

}  // namespace velkora
