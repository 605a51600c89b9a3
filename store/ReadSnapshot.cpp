// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadSnapshot.h"

#include <QSqlError>
#include <QSqlQuery>

#include "Connection.h"
#include "StoreError.h"

namespace velkora {

ReadSnapshot::ReadSnapshot(const QSqlDatabase& db) : db_(db) {
    if (!db_.transaction())
        throw StoreError("Could not begin reading the store: " + db_.lastError().text());
    const QString snapshot = SnapshotStatement(db_);
    if (snapshot.isEmpty()) return;
    QSqlQuery query(db_);
    if (!query.exec(snapshot)) {
        const QString message = query.lastError().text();
        db_.rollback();
        throw StoreError("Could not begin reading the store: " + message);
    }
}

ReadSnapshot::~ReadSnapshot() { db_.rollback(); }

}  // namespace velkora
