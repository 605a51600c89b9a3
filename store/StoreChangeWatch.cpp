// SPDX-License-Identifier: GPL-3.0-or-later
// The store's change watch: a version the engine keeps, and announcements between copies.
#include "StoreChangeWatch.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <stdexcept>
#include <utility>

#include "Schema.h"
#include "StoreError.h"

namespace velkora {

namespace {

// SQLite counts the commits of other connections to the file for us.
QString SqliteVersionQuery(const QSqlDatabase&) { return QStringLiteral("PRAGMA data_version"); }

// A server keeps no such count per database. Every committed insert, update
// or delete changes a table's row count or raises the sum of its rows'
// creating transaction numbers (a new row version always carries a newer
// one), so the pair stands for the table's state. It reads every row, so it
// runs only when the gate below moved.
QString PostgresVersionQuery(const QSqlDatabase& db) {
    QStringList columns;
    for (const TableColumns& table : RequiredSchema())
        columns << "(SELECT count(*) || '/' || coalesce(sum(xmin::text::bigint), 0) FROM " +
                       db.driver()->escapeIdentifier(table.table, QSqlDriver::TableName) + ")";
    return "SELECT " + columns.join(", ");
}

// The server's transactions in progress and the next transaction number: it
// stays the same, at no cost to read, until a transaction that writes
// begins or ends anywhere on the server.
QString PostgresGateQuery(const QSqlDatabase&) {
    return QStringLiteral("SELECT txid_current_snapshot()::text");
}

}  // namespace

// How one engine tells that the store changed.
struct EngineWatch {
    const char* driver;
    // Read first where not null: while its row is unchanged, so is the store.
    QString (*gateQuery)(const QSqlDatabase& db);
    QString (*versionQuery)(const QSqlDatabase& db);  // one row; changes with each commit
    const char* channel;  // copies announce their writes here; null where the engine cannot
    int interval;         // milliseconds between checks
};

namespace {

// Announcements tell of other copies' posts at once, so a server is checked
// less often: the check only catches what other tools write.
const EngineWatch kEngineWatches[] = {
    {"QSQLITE", nullptr, SqliteVersionQuery, nullptr, 250},
    {"QPSQL", PostgresGateQuery, PostgresVersionQuery, "velkora_store", 500},
};

const EngineWatch& EngineWatchOf(const QSqlDatabase& db) {
    for (const EngineWatch& engine : kEngineWatches)
        if (db.driverName() == QLatin1String(engine.driver)) return engine;
    throw std::logic_error("no change watch for the driver " + db.driverName().toStdString());
}

}  // namespace

StoreChangeWatch::StoreChangeWatch(const QSqlDatabase& db, QObject* parent)
    : QObject(parent), connectionName_(db.connectionName()), engine_(&EngineWatchOf(db)) {
    if (engine_->gateQuery) gate_ = Read(engine_->gateQuery);
    version_ = Read(engine_->versionQuery);
    if (!engine_->channel) return;
    QSqlDriver* driver = db.driver();
    if (!driver->subscribeToNotification(QLatin1String(engine_->channel)))
        throw StoreError("Could not listen for other copies' posts: " + driver->lastError().text());
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString& name, QSqlDriver::NotificationSource source) {
                if (name != QLatin1String(engine_->channel) || source == QSqlDriver::SelfSource)
                    return;
                announced_ = true;
                emit Announced();
            });
}

StoreChangeWatch::~StoreChangeWatch() {
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (engine_->channel && db.isOpen())
        db.driver()->unsubscribeFromNotification(QLatin1String(engine_->channel));
}

QVariantList StoreChangeWatch::Read(QString (*makeQuery)(const QSqlDatabase& db)) const {
    const QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    const QString what = QStringLiteral("Could not check the store for other users' changes: ");
    if (!db.isOpen()) throw StoreError(what + "the database is not connected");
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(makeQuery(db)) || !query.next())
        throw StoreError(what + query.lastError().text());
    QVariantList version;
    for (int i = 0; i < query.record().count(); ++i) version << query.value(i);
    return version;
}

bool StoreChangeWatch::Changed() {
    bool changed = std::exchange(announced_, false);
    if (engine_->gateQuery) {
        // Read before the version, so a commit between the two is seen next time.
        QVariantList gate = Read(engine_->gateQuery);
        if (gate == gate_) return changed;
        gate_ = std::move(gate);
    }
    QVariantList now = Read(engine_->versionQuery);
    changed = changed || now != version_;
    version_ = std::move(now);
    return changed;
}

bool StoreChangeWatch::Announce() {
    if (!engine_->channel) return false;
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    return query.exec(QStringLiteral("NOTIFY ") + QLatin1String(engine_->channel));
}

int StoreChangeWatch::CheckInterval() const { return engine_->interval; }

}  // namespace velkora
