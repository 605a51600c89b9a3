// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli: makes a store, lists its projects and writes model files
// without the window. The verbs run in-process, so tests call RunCli.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace velkora {

// Exit statuses: success, a failure (its message on err), a usage error.
enum CliStatus { kCliSuccess = 0, kCliFailure = 1, kCliUsage = 2 };

// args are the arguments after the program's name.
int RunCli(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace velkora
