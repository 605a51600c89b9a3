// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

#include "Cli.h"
#include "CliSupport.h"
#include "QtMessages.h"

namespace {

// Drawing needs Qt Gui's fonts; those verbs run on the offscreen platform
// unless the user chose one, so they work without a display.
bool Draws(int argc, char** argv) {
    return argc > 1 && (std::strcmp(argv[1], "plot") == 0 || std::strcmp(argv[1], "report") == 0);
}

}  // namespace

int main(int argc, char** argv) {
    velkora::KeepQtMessagesOffTheTerminal();
    std::unique_ptr<QCoreApplication> application;
    if (Draws(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return velkora::RunCli(velkora::ArgumentsOf(argc, argv), out, err);
}
