// SPDX-License-Identifier: GPL-3.0-or-later
// The verbs of velkora-cli, one file each. A verb takes the arguments after
// its name, writes its report to out and returns the exit status; failures
// are thrown (UsageError for the command line).
#pragma once

#include <QStringList>
#include <QTextStream>

namespace velkora {

int InitVerb(const QStringList& args, QTextStream& out);
int ProjectsVerb(const QStringList& args, QTextStream& out);
int GenerateVerb(const QStringList& args, QTextStream& out);
int SolveVerb(const QStringList& args, QTextStream& out);
int WiresVerb(const QStringList& args, QTextStream& out);
int CopyVerb(const QStringList& args, QTextStream& out);
// Goes on after a file that fails, so it reports each failure itself on err.
int ImportVerb(const QStringList& args, QTextStream& out, QTextStream& err);
int OptimizeVerb(const QStringList& args, QTextStream& out);
int CheckVerb(const QStringList& args, QTextStream& out);
int PlotVerb(const QStringList& args, QTextStream& out);
int ReportVerb(const QStringList& args, QTextStream& out);

}  // namespace velkora
