// SPDX-License-Identifier: GPL-3.0-or-later
// The store's database connection, made from the data-link file, and the
// making of a new database file.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace velkora {

struct DataLink;

// Whether a connection may write. A read-only one leaves the database's files
// exactly as it found them.
enum class StoreAccess { ReadWrite, ReadOnly };

// The providers a data-link file may name here.
QStringList AvailableProviders();

// Reads the data-link file (a relative path from the working directory; a
// relative SQLite database file from the data-link file's folder) and opens the database it names
// under connectionName, replacing a connection of that name. The database must exist and hold every
// table and column the program uses. SQLite connections wait for another copy's write (busy
// timeout) and enforce foreign keys; opening never changes the database's
// journal mode. Throws StoreError naming the file, value, table or column
// that failed; no connection of that name is left behind then.
QSqlDatabase OpenConnection(
    const QString& dataLinkFile = QStringLiteral("velkora.udl"),
    const QString& connectionName = QLatin1String(QSqlDatabase::defaultConnection),
    StoreAccess access = StoreAccess::ReadWrite);

// The same for an SQLite database file given by its path.
QSqlDatabase OpenDatabaseFile(const QString& path, const QString& connectionName,
                              StoreAccess access = StoreAccess::ReadWrite);

// A file the store is made of, with what it is to the store.
struct StoreFile {
    QString path;  // absolute
    QString role;  // "data-link file", "database file", ...
};

// The files of the store a data-link file names: the data-link file itself
// and, for a provider that keeps the database in files, those files (an
// SQLite database with its -wal, -shm and -journal companions), whether they
// exist or not. A data-link file that cannot be read gives itself alone;
// opening the store says why.
QList<StoreFile> StoreFilesOf(const QString& dataLinkFile);

// Closes and removes the named connection. Every query and handle on it
// must be gone first.
void CloseConnection(
    const QString& connectionName = QLatin1String(QSqlDatabase::defaultConnection));

// The statements that make the tables on this connection's engine.
const QStringList& SchemaStatementsFor(const QSqlDatabase& db);

// The statement that makes a just begun read transaction read one state of
// the store; empty where the transaction does so by itself.
QString SnapshotStatement(const QSqlDatabase& db);

// The engine's hidden row number column ("rowid" in SQLite); empty when the
// engine has none, as on a server.
QString RowNumberColumn(const QSqlDatabase& db);

// The column that keeps a table's rows in the store's order: the order they
// were stored in. SQLite's row number where the engine has one, else the
// table's key ID (quoted for the driver); empty when the table has neither.
QString StoreOrderColumn(const QSqlDatabase& db, const QString& table);

// Which store a connection reaches: equal keys are the same store (one
// SQLite file by device and inode; one server's database), shown as messages
// name it.
struct StoreIdentity {
    QString key;
    QString shown;
};
StoreIdentity IdentityOf(const QSqlDatabase& db);

// How to select a column (quoted by the driver) so that text comes back as
// the bytes the database holds (a QByteArray), valid UTF-8 or not, and other
// values as they are; the column itself where the driver reads text exactly.
QString ExactTextColumn(const QSqlDatabase& db, const QString& quotedColumn);

// Whether each column holds only values of its declared type, so that a
// value must fit it (a server); SQLite keeps any value as given.
bool HasTypedColumns(const QSqlDatabase& db);

// The placeholder that stores a bound QByteArray as text of those bytes;
// empty where the engine holds only valid UTF-8 text, which is bound as a
// QString.
QString TextFromBytesPlaceholder(const QSqlDatabase& db);

// Makes the tables, relations and indexes in the server database a data-link
// file names (its provider must be a server's), then runs fill on the new
// tables (may be empty). Refuses (StoreError) when the database holds any of
// the four tables already, and leaves it as it was; when fill fails, the new
// tables are dropped again.
void CreateServerStore(const DataLink& link, const std::function<void(QSqlDatabase&)>& fill = {});

// Creates a new SQLite database file with the program's tables, relations and
// indexes, in WAL mode so that two running copies read while one writes. Refuses (StoreError) when
// something of that name exists already; after a failure no file is left behind.
void CreateDatabaseFile(const QString& path);

}  // namespace velkora
