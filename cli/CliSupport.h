// What the verbs of velkora-cli share: the default file names, the
// connection of one verb, the separators of a run and messages on one line.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTextStream>

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

// The data-link file of a verb that takes --data-link.
QString DataLinkOf(const CliArguments& parsed);

// The user's locale decides unless --decimal-separator or
// --thousands-separator says otherwise.
RegionalMarks MarksOfRun(const CliArguments& parsed);

// A message with its line breaks turned into blanks.
QString OneLine(QString message);

}  // namespace velkora
