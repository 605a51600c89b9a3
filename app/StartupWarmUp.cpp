// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupWarmUp.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <system_error>

namespace velkora {

namespace {

// Loading the driver plugin and SQLite's first statement cost a couple of
// milliseconds; the plugin stays loaded for the store's own connection.
void WarmUpSqlite() {
    const QString name = QStringLiteral("velkora-warm-up");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) QSqlQuery(db).exec(QStringLiteral("SELECT 1"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

StartupWarmUp::StartupWarmUp() {
    try {
        thread_ = std::thread(WarmUpSqlite);
    } catch (const std::system_error&) {
        // Without a thread the window loads both itself, a little later.
    }
}

StartupWarmUp::~StartupWarmUp() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace velkora
