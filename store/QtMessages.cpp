// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps Qt's own diagnostics off the user's terminal.
#include "QtMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace velkora {

namespace {

void OnlyFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

void KeepQtMessagesOffTheTerminal() { qInstallMessageHandler(OnlyFatal); }

}  // namespace velkora
