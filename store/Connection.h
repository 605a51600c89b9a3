// The store's database connection, made from the data-link file, and the
// making of a new database file.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace velkora {

struct DataLink;

// The providers a data-link file may name here.
QStringList AvailableProviders();

// Reads the data-link file (relative paths from the working directory) and
// opens the database it names under connectionName, replacing a connection of
// that name. The database must exist and hold every table and column the
// program uses. SQLite connections run in WAL mode with a busy timeout, so two
// running copies can edit one database, and with foreign keys enforced.
// Throws StoreError naming the file, value, table or column that failed; no
// connection of that name is left behind then.
QSqlDatabase OpenConnection(
    const QString& dataLinkFile = QStringLiteral("velkora.udl"),
    const QString& connectionName = QLatin1String(QSqlDatabase::defaultConnection));

// The same for an SQLite database file given by its path.
QSqlDatabase OpenDatabaseFile(const QString& path, const QString& connectionName);

// Closes and removes the named connection. Every query and handle on it
// must be gone first.
void CloseConnection(
    const QString& connectionName = QLatin1String(QSqlDatabase::defaultConnection));

// The statements that make the tables on this connection's engine.
const QStringList& SchemaStatementsFor(const QSqlDatabase& db);

// The engine's hidden row number column ("rowid" in SQLite); empty when the
// engine has none, as on a server.
QString RowNumberColumn(const QSqlDatabase& db);

// The column that keeps a table's rows in the store's order: the order they
// were stored in. SQLite's row number where the engine has one, else the
// table's key ID (quoted for the driver); empty when the table has neither.
QString StoreOrderColumn(const QSqlDatabase& db, const QString& table);

// Makes the tables, relations and indexes in the server database a data-link
// file names (its provider must be a server's), then runs fill on the new
// tables (may be empty). Refuses (StoreError) when the database holds any of
// the four tables already, and leaves it as it was; when fill fails, the new
// tables are dropped again.
void CreateServerStore(const DataLink& link, const std::function<void(QSqlDatabase&)>& fill = {});

// Creates a new SQLite database file with the program's tables, relations and
// indexes. Refuses (StoreError) when something of that name exists already;
// after a failure no file is left behind.
void CreateDatabaseFile(const QString& path);

}  // namespace velkora
