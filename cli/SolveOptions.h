// SPDX-License-Identifier: GPL-3.0-or-later
// What solve, plot and report share: the sweep and number options and one
// run of the solver with progress, a time limit and the stopping signals.
#pragma once

#include <QJsonValue>
#include <QString>
#include <utility>
#include <vector>

#include "CliArguments.h"
#include "NecDeck.h"
#include "SolveResult.h"
#include "Solver.h"
#include "StopOnSignals.h"

namespace velkora {

// --sweep (or option) START:STOP:STEP in MHz; a usage error unless finite,
// ordered and at most 10,000 frequencies.
FrequencySweep SweepOf(const QString& text, const QString& option = "--sweep");

// An option's number, finite and above 0, or fallback when it is absent;
// what says what the option takes ("an impedance in ohm").
double PositiveOf(const CliArguments& parsed, const QString& option, double fallback,
                  const QString& what);

// The options solve, plot and report read alike.
struct SolveSettings {
    MainLobeAxis axis = MainLobeAxis::X;  // --axis, X when absent
    NecOptions nec;                       // --taper, --ground and --sweep
    double z0 = 50;                       // --z0, ohm
    double timeout = 300;                 // --timeout, the seconds nec2c may run
};
// Throws UsageError naming the first option that is wrong.
SolveSettings SolveSettingsOf(const CliArguments& parsed);

// The figures of one frequency under the keys of solve's --json and --csv,
// in the order of the CSV columns; derived figures kept to a ten-thousandth.
std::vector<std::pair<QString, QJsonValue>> FigureColumns(const FrequencyFigures& row);

// Solves the job, telling progress on standard error; a signal ends nec2c
// and fails with the signal's name. timeout in seconds.
std::vector<FrequencyFigures> SolveWithProgress(const SolveJob& job, double timeout,
                                                const StopOnSignals& stop);

}  // namespace velkora
