// SPDX-License-Identifier: GPL-3.0-or-later
// What the verbs of velkora-cli share: the default file names, the
// connection of one verb, the separators of a run and messages on one line.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <string>

#include "CliArguments.h"
#include "Connection.h"
#include "RegionalMarks.h"

namespace velkora {

inline const QString kDataLinkName = QStringLiteral("velkora.udl");
inline const QString kDatabaseName = QStringLiteral("velkora.db");

// The connection of one verb, closed on every way out. Read-only unless the
// verb writes, so that reading leaves the store's files as they were; a verb
// with two stores names the second.
class CliConnection {
  public:
    explicit CliConnection(const QString& dataLinkFile, StoreAccess access = StoreAccess::ReadOnly,
                           const QString& connectionName = QStringLiteral("velkora-cli"));
    ~CliConnection();
    CliConnection(const CliConnection&) = delete;
    CliConnection& operator=(const CliConnection&) = delete;
    const QSqlDatabase& Db() const { return db_; }

  private:
    QString name_;
    QSqlDatabase db_;
};

// The program's arguments after its name, as text. Bytes that are not UTF-8
// are kept, each as a lone surrogate (U+DC80 to U+DCFF), so that a file name
// given as such bytes reaches the file system as given (PathBytes).
QStringList ArgumentsOf(int argc, char** argv);
// The bytes of a path given as an argument: UTF-8, with each kept byte put
// back.
std::string PathBytes(const QString& argument);

// The data-link file of a verb that takes --data-link.
QString DataLinkOf(const CliArguments& parsed);

// The user's locale decides unless --decimal-separator or
// --thousands-separator says otherwise.
RegionalMarks MarksOfRun(const CliArguments& parsed);

// A message on one line: each CR and each LF a blank, a NUL byte shown as
// "\0" (the text goes on after it).
QString OneLine(QString message);

// A failure as velkora-cli reports it, GNU style: "velkora-cli: ", the place
// when known ("beam.maa: ", "project 2, element "D1", LEN: ") and the
// message as the error box shows it, all on one line.
QString FailureLine(const std::string& where, const std::string& message);

}  // namespace velkora
