#include "ReadSnapshot.h"

#include <QSqlError>

#include "StoreError.h"

namespace velkora {

ReadSnapshot::ReadSnapshot(const QSqlDatabase& db) : db_(db) {
    if (!db_.transaction())
        throw StoreError("Could not begin reading the store: " + db_.lastError().text());
}

ReadSnapshot::~ReadSnapshot() { db_.rollback(); }

}  // namespace velkora
