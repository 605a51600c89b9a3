// SPDX-License-Identifier: GPL-3.0-or-later
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

// What velkora-cli projects lists for a store made with init --sample.
inline const QString kSampleProjects =
    "ID  PROJECT NAME                        ELEMENTS\n"
    " 1  2-el. Yagi 20 m DK7ZB (28 ohm)      2\n"
    " 2  3-el. Yagi 10 m DK7ZB (28 ohm)      3\n"
    " 3  5-el. Yagi 20 m W6NGZ (45 ft boom)  5\n"
    " 4  6-el. Yagi 20 m NW3Z (48 ft boom)   6\n"
    " 5  5-el. Yagi 20 m W3LPL (48 ft boom)  5\n"
    " 6  3-el. Yagi 10 m K6STI (short boom)  3\n"
    " 7  3-el. Yagi 15 m K6STI (short boom)  3\n";

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
