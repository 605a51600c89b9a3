// SPDX-License-Identifier: GPL-3.0-or-later
#include "Connection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <stdexcept>

#include "DataLink.h"
#include "PostgresConnection.h"
#include "Schema.h"
#include "StoreError.h"

namespace velkora {

namespace {

// Long enough for another copy of the program to finish a write.
constexpr int kBusyTimeoutMs = 5000;

void Exec(QSqlDatabase& db, const QString& statement, const QString& shownFile) {
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw StoreError(
            QString("Could not open the database %1: %2").arg(shownFile, query.lastError().text()));
}

// Settings of the connection only: nothing here changes the database file.
// The first read makes a file that is not an SQLite database fail here with
// the driver's message.
void ApplySqliteSettings(QSqlDatabase& db, const QString& shownFile) {
    Exec(db, QString("PRAGMA busy_timeout = %1").arg(kBusyTimeoutMs), shownFile);
    Exec(db, "PRAGMA foreign_keys = ON", shownFile);
    Exec(db, "SELECT COUNT(*) FROM sqlite_master", shownFile);
}

QSqlDatabase AddSqliteConnection(const QString& name, const QString& uri) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    if (!db.isValid())
        throw StoreError("The SQLite driver of Qt (QSQLITE) is not installed: " +
                         db.lastError().text());
    db.setDatabaseName(uri);
    db.setConnectOptions(QString("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    return db;
}

// A file URI with mode "rw" or "ro": SQLite opens the file but never creates it.
QString ExistingFileUri(const QString& absolutePath, StoreAccess access) {
    return QUrl::fromLocalFile(absolutePath).toString(QUrl::FullyEncoded) +
           (access == StoreAccess::ReadOnly ? "?mode=ro" : "?mode=rw");
}

// A WAL database needs its -shm file beside it; SQLite cannot open one whose
// -shm is missing in a folder it may not write to, and says only "unable to
// open database file".
bool MissesItsSharedMemoryFile(const QString& path) {
    QFile file(path);
    // Bytes 18 and 19 of the header are 2 in WAL mode.
    const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(20) : QByteArray();
    if (header.size() < 20 || header[18] != 2) return false;
    const QString folder = QFileInfo(path).absolutePath();
    return !QFileInfo::exists(path + "-shm") &&
           ::access(QFile::encodeName(folder).constData(), W_OK) != 0;
}

void ApplySqliteSettingsExplained(QSqlDatabase& db, const QString& path, const QString& shown) {
    try {
        ApplySqliteSettings(db, shown);
    } catch (const StoreError&) {
        if (!MissesItsSharedMemoryFile(path)) throw;
        const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
        throw StoreError(
            QString("Could not open the database %1: it uses a write-ahead log, so SQLite needs to "
                    "create its shared-memory file %1-shm in the folder %2, which cannot be "
                    "written here. Make the folder writable, or switch the store to the rollback "
                    "journal where it can be written: sqlite3 %1 \"PRAGMA journal_mode=DELETE\"")
                .arg(shown, folder));
    }
}

// Opens an existing SQLite file; namedBy is the data-link file that named
// it, empty when the caller gave the path itself.
QSqlDatabase OpenSqlitePath(const QString& file, const QString& name, const QString& namedBy,
                            StoreAccess access) {
    const QString path = QDir::current().absoluteFilePath(file);
    const QString shown = QDir::toNativeSeparators(path);
    const QString origin =
        namedBy.isEmpty() ? QString() : " named by the data-link file " + namedBy;
    const QFileInfo info(path);
    if (!info.exists())
        throw StoreError(QString("The database file %1%2 does not exist").arg(shown, origin));
    if (!info.isFile())
        throw StoreError(QString("The database %1%2 is not a file").arg(shown, origin));
    const QString uri = ExistingFileUri(path, access);
    QSqlDatabase db = AddSqliteConnection(name, uri);
    if (!db.open())
        throw StoreError(
            QString("Could not open the database %1: %2").arg(shown, db.lastError().text()));
    ApplySqliteSettingsExplained(db, path, shown);
    VerifySchema(db, shown);
    return db;
}

// A relative database file is read against the data-link file's folder, so
// a data-link file names the same database from any working directory.
QString SqliteFilePath(const DataLink& link) {
    const QDir folder = link.folder.isEmpty() ? QDir::current() : QDir(link.folder);
    return QDir::cleanPath(folder.absoluteFilePath(link.dataSource));
}

QSqlDatabase OpenSqlite(const DataLink& link, const QString& name, StoreAccess access) {
    return OpenSqlitePath(SqliteFilePath(link), name, link.file, access);
}

// The database file and the companions SQLite keeps beside it.
QList<StoreFile> SqliteFiles(const DataLink& link) {
    const QString path = SqliteFilePath(link);
    return {{path, "database file"},
            {path + "-wal", "write-ahead log"},
            {path + "-shm", "shared-memory file"},
            {path + "-journal", "rollback journal"}};
}

using Opener = QSqlDatabase (*)(const DataLink& link, const QString& connectionName,
                                StoreAccess access);
using FileLister = QList<StoreFile> (*)(const DataLink& link);

struct Provider {
    const char* name;    // as a data-link file names it, any letter case
    const char* driver;  // Qt's driver
    Opener open;         // connects and checks the tables
    // Connects without checking the tables, for making them; null when the
    // store is a file, which CreateDatabaseFile makes.
    Opener connectServer;
    FileLister files;                            // the database's own files; none for a server
    QString (*shownName)(const DataLink& link);  // the database as messages name it
    const QStringList& (*schema)();              // the statements that make the tables
    const char* rowNumber;  // the engine's hidden row number, in insertion order; null: none
    // Run first in a read transaction so that it reads one state of the
    // store; null where the transaction does so by itself.
    const char* snapshot;
    StoreIdentity (*identity)(const QSqlDatabase& db);
    // A column (%1) read so that text comes as the bytes the engine holds;
    // null where the driver's text is exact.
    const char* exactText;
    // The placeholder that stores bound bytes as text; null where text must
    // be valid UTF-8 and is bound as such.
    const char* textFromBytes;
    // Each column holds only values of its declared type (SQLite keeps any
    // value as given).
    bool typedColumns;
};

// The file by device and inode, whatever path or link led to it.
StoreIdentity SqliteIdentity(const QSqlDatabase& db) {
    QSqlQuery query(db);
    QString path;
    if (query.exec("PRAGMA database_list"))
        while (query.next())
            if (query.value(1).toString() == "main") path = query.value(2).toString();
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {"sqlite:" + db.databaseName(), db.databaseName()};
    return {QString("sqlite:%1:%2").arg(info.st_dev).arg(info.st_ino),
            QDir::toNativeSeparators(path)};
}

// The server by its port and start time (a host may be named in several
// ways, or reached by its socket), and the database by name.
StoreIdentity PostgresIdentity(const QSqlDatabase& db) {
    QSqlQuery query(db);
    const QString shown =
        QString("%1 on the PostgreSQL server %2")
            .arg(db.databaseName(), db.port() < 0
                                        ? db.hostName()
                                        : QString("%1:%2").arg(db.hostName()).arg(db.port()));
    if (!query.exec("SELECT current_setting('port'), pg_postmaster_start_time(), "
                    "current_database()") ||
        !query.next())
        return {"postgresql:" + shown, shown};
    return {
        QString("postgresql:%1:%2:%3")
            .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString()),
        shown};
}

QSqlDatabase OpenPostgres(const DataLink& link, const QString& name, StoreAccess access) {
    QSqlDatabase db = ConnectPostgres(link, name, access);
    VerifySchema(db, PostgresDatabaseName(link));
    return db;
}

QString SqliteDatabaseName(const DataLink& link) {
    return QDir::toNativeSeparators(SqliteFilePath(link));
}

QList<StoreFile> NoFiles(const DataLink&) { return {}; }

// A further provider is one more row.
const Provider kProviders[] = {
    {"SQLite", "QSQLITE", OpenSqlite, nullptr, SqliteFiles, SqliteDatabaseName,
     SqliteSchemaStatements, "rowid", nullptr, SqliteIdentity,
     // SQLite keeps text as given, valid UTF-8 or not; Qt's text would not.
     "CASE WHEN typeof(%1) = 'text' THEN CAST(%1 AS BLOB) ELSE %1 END", "CAST(? AS TEXT)", false},
    {"PostgreSQL", "QPSQL", OpenPostgres, ConnectPostgres, NoFiles, PostgresDatabaseName,
     PostgresSchemaStatements, nullptr,
     "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY", PostgresIdentity, nullptr,
     nullptr, true},
};

const Provider* FindProvider(const QString& name) {
    for (const Provider& provider : kProviders)
        if (name.compare(QLatin1String(provider.name), Qt::CaseInsensitive) == 0) return &provider;
    return nullptr;
}

const Provider& RequireProvider(const DataLink& link) {
    const Provider* provider = FindProvider(link.provider);
    if (!provider)
        throw StoreError(
            QString("The data-link file %1 names the provider \"%2\", which is not available here; "
                    "available: %3")
                .arg(link.file, link.provider, AvailableProviders().join(", ")));
    return *provider;
}

const Provider& ProviderOf(const QSqlDatabase& db) {
    for (const Provider& provider : kProviders)
        if (db.driverName() == QLatin1String(provider.driver)) return provider;
    throw std::logic_error("no provider uses the driver " + db.driverName().toStdString());
}

// Undoes CreateSchema after a failed fill; details before their masters.
void DropStoreTables(QSqlDatabase& db) {
    const QList<TableColumns>& tables = RequiredSchema();
    for (auto table = tables.rbegin(); table != tables.rend(); ++table)
        QSqlQuery(db).exec("DROP TABLE IF EXISTS " +
                           db.driver()->escapeIdentifier(table->table, QSqlDriver::TableName));
}

bool HasAnyStoreTable(const QSqlDatabase& db) {
    for (const TableColumns& table : RequiredSchema())
        if (!db.record(db.driver()->escapeIdentifier(table.table, QSqlDriver::TableName)).isEmpty())
            return true;
    return false;
}

}  // namespace

QStringList AvailableProviders() {
    QStringList names;
    for (const Provider& provider : kProviders) names << QLatin1String(provider.name);
    return names;
}

QSqlDatabase OpenConnection(const QString& dataLinkFile, const QString& connectionName,
                            StoreAccess access) {
    if (QSqlDatabase::contains(connectionName)) CloseConnection(connectionName);
    const DataLink link = ReadDataLink(dataLinkFile);
    const Provider& provider = RequireProvider(link);
    try {
        return provider.open(link, connectionName, access);
    } catch (...) {
        CloseConnection(connectionName);
        throw;
    }
}

QSqlDatabase OpenDatabaseFile(const QString& path, const QString& connectionName,
                              StoreAccess access) {
    if (QSqlDatabase::contains(connectionName)) CloseConnection(connectionName);
    try {
        return OpenSqlitePath(path, connectionName, QString(), access);
    } catch (...) {
        CloseConnection(connectionName);
        throw;
    }
}

QList<StoreFile> StoreFilesOf(const QString& dataLinkFile) {
    QList<StoreFile> files{{QDir::current().absoluteFilePath(dataLinkFile), "data-link file"}};
    try {
        const DataLink link = ReadDataLink(dataLinkFile);
        if (const Provider* provider = FindProvider(link.provider)) files += provider->files(link);
    } catch (const StoreError&) {
        // Opening the store reports it.
    }
    return files;
}

void CloseConnection(const QString& connectionName) {
    if (!QSqlDatabase::contains(connectionName)) return;
    QSqlDatabase::database(connectionName, false).close();
    QSqlDatabase::removeDatabase(connectionName);
}

void CreateDatabaseFile(const QString& path) {
    const QString absolute = QDir::current().absoluteFilePath(path);
    const QString shown = QDir::toNativeSeparators(absolute);
    if (QFileInfo::exists(absolute))
        throw StoreError(QString("%1 exists already; it is left as it is").arg(shown));
    const QString name = "velkora-create-" + absolute;
    bool created = false;
    try {
        {
            // "rwc" makes the file; the check above keeps an existing one out.
            QSqlDatabase db = AddSqliteConnection(
                name, QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded) + "?mode=rwc");
            if (!db.open())
                throw StoreError(QString("Could not create the database %1: %2")
                                     .arg(shown, db.lastError().text()));
            created = true;
            ApplySqliteSettings(db, shown);
            Exec(db, "PRAGMA journal_mode = WAL", shown);
            CreateSchema(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } catch (...) {
        CloseConnection(name);
        if (created) {
            QFile::remove(absolute);
            QFile::remove(absolute + "-wal");
            QFile::remove(absolute + "-shm");
            QFile::remove(absolute + "-journal");
        }
        throw;
    }
}

const QStringList& SchemaStatementsFor(const QSqlDatabase& db) { return ProviderOf(db).schema(); }

QString SnapshotStatement(const QSqlDatabase& db) {
    const char* statement = ProviderOf(db).snapshot;
    return statement ? QLatin1String(statement) : QString();
}

QString RowNumberColumn(const QSqlDatabase& db) {
    const char* rowNumber = ProviderOf(db).rowNumber;
    return rowNumber ? QLatin1String(rowNumber) : QString();
}

QString StoreOrderColumn(const QSqlDatabase& db, const QString& table) {
    const Provider& provider = ProviderOf(db);
    if (provider.rowNumber) return QLatin1String(provider.rowNumber);
    QSqlDriver* driver = db.driver();
    if (db.record(driver->escapeIdentifier(table, QSqlDriver::TableName))
            .contains(QLatin1String(schema::kId)))
        return driver->escapeIdentifier(QLatin1String(schema::kId), QSqlDriver::FieldName);
    return QString();
}

void CreateServerStore(const DataLink& link, const std::function<void(QSqlDatabase&)>& fill) {
    const Provider& provider = RequireProvider(link);
    if (!provider.connectServer)
        throw StoreError(QString("The provider %1 keeps its store in a file, not on a server")
                             .arg(QLatin1String(provider.name)));
    const QString name = "velkora-create-" + link.file;
    try {
        QSqlDatabase db = provider.connectServer(link, name, StoreAccess::ReadWrite);
        const QString shown = provider.shownName(link);
        if (HasAnyStoreTable(db))
            throw StoreError(
                QString("The database %1 holds tables of a store already; it is left as it is")
                    .arg(shown));
        CreateSchema(db);
        try {
            if (fill) fill(db);
        } catch (...) {
            DropStoreTables(db);
            throw;
        }
        db = QSqlDatabase();
    } catch (...) {
        CloseConnection(name);
        throw;
    }
    CloseConnection(name);
}

StoreIdentity IdentityOf(const QSqlDatabase& db) { return ProviderOf(db).identity(db); }

QString ExactTextColumn(const QSqlDatabase& db, const QString& quotedColumn) {
    const char* expression = ProviderOf(db).exactText;
    return expression ? QString(QLatin1String(expression)).arg(quotedColumn) : quotedColumn;
}

bool HasTypedColumns(const QSqlDatabase& db) { return ProviderOf(db).typedColumns; }

QString TextFromBytesPlaceholder(const QSqlDatabase& db) {
    const char* placeholder = ProviderOf(db).textFromBytes;
    return placeholder ? QLatin1String(placeholder) : QString();
}

}  // namespace velkora
