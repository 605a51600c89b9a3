// Runs velkora-cli in-process, as a test sees it: exit status, standard
// output and standard error.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <fstream>
#include <sstream>
#include <string>

#include "Cli.h"

namespace velkora::test {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

inline ToolRun RunTool(const QStringList& args) {
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = RunCli(args, out, err);
    return run;
}

inline std::string ReadBytes(const QString& path) {
    std::ifstream file(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace velkora::test
