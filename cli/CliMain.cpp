#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Cli.h"
#include "CliSupport.h"

namespace {

// Drawing needs Qt Gui's fonts; those verbs run on the offscreen platform
// unless the user chose one, so they work without a display.
bool Draws(int argc, char** argv) {
    return argc > 1 && (std::strcmp(argv[1], "plot") == 0 || std::strcmp(argv[1], "report") == 0);
}

// Qt's own notes (such as a missing XDG_RUNTIME_DIR on the offscreen
// platform) say nothing to a user; the verbs report their failures themselves.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fputs(qPrintable(message + "\n"), stderr);
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> application;
    if (Draws(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQt);
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return velkora::RunCli(velkora::ArgumentsOf(argc, argv), out, err);
}
