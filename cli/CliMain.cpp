#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "Cli.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return velkora::RunCli(QCoreApplication::arguments().mid(1), out, err);
}
