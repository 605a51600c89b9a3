#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "Cli.h"
#include "CliSupport.h"
#include "QtMessages.h"

int main(int argc, char** argv) {
    velkora::KeepQtMessagesOffTheTerminal();
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return velkora::RunCli(velkora::ArgumentsOf(argc, argv), out, err);
}
