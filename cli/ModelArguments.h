// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line options that several verbs share: which project, the boom
// axis and the NEC-2 options (--taper, --ground).
#pragma once

#include <QSqlDatabase>

#include "CliArguments.h"
#include "MainLobeAxis.h"
#include "ModelSource.h"
#include "NecDeck.h"

namespace velkora {

// --axis x|y; default when the option is absent (nullptr: the option is required).
MainLobeAxis AxisOf(const CliArguments& parsed, const MainLobeAxis* fallback);

// --taper corrected|exact and --ground free|perfect|real; defaults corrected, free.
NecOptions NecOptionsOf(const CliArguments& parsed);

// The option texts of a taper and a ground, as --taper and --ground take them.
QString TaperName(NecTaper taper);
QString GroundName(NecGround ground);

// The project --project names, or the first project. Throws UsageError for an
// ID that is no number or names no project.
ProjectRow ChosenProject(const QSqlDatabase& db, const CliArguments& parsed);

}  // namespace velkora
