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
int CheckVerb(const QStringList& args, QTextStream& out);
int PlotVerb(const QStringList& args, QTextStream& out);
int ReportVerb(const QStringList& args, QTextStream& out);
int OptimizeVerb(const QStringList& args, QTextStream& out);

}  // namespace velkora
