// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreSql.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include "Connection.h"
#include "PostgresConnection.h"
#include "StoreError.h"

namespace velkora {

QString QuotedName(const QSqlDatabase& db, const QString& name) {
    return db.driver()->escapeIdentifier(name, QSqlDriver::FieldName);
}

namespace {
const char* const kClosed =
    "the server closed the connection (it was stopped, or the network failed)";
}  // namespace

QString DatabaseMessage(const QSqlError& error) {
    return IsConnectionLost(error.text()) ? QString(kClosed) : error.text();
}

QString DatabaseMessage(const QSqlDatabase& db) {
    // The server's driver closes a connection it found broken, and then
    // reports no error of its own.
    return db.isOpen() ? DatabaseMessage(db.lastError()) : QString(kClosed);
}

QVariant InsertRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                   const QVariantList& values, const QString& key, const QString& what) {
    const QString bytesAsText = TextFromBytesPlaceholder(db);
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        names << QuotedName(db, columns[i]);
        const QVariant& value = values.value(i);
        const bool bytes = value.typeId() == QMetaType::QByteArray;
        marks << (bytes && !bytesAsText.isEmpty() ? bytesAsText : QStringLiteral("?"));
        bound << (bytes && bytesAsText.isEmpty() ? QString::fromUtf8(value.toByteArray()) : value);
    }
    QString sql = "INSERT INTO " + QuotedName(db, table);
    sql += names.isEmpty() ? QString(" DEFAULT VALUES")
                           : " (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")";
    if (!key.isEmpty()) sql += " RETURNING " + QuotedName(db, key);
    QSqlQuery query(db);
    if (!query.prepare(sql)) throw StoreError(what + ": " + DatabaseMessage(query.lastError()));
    for (const QVariant& value : bound) query.addBindValue(value);
    if (!query.exec()) throw StoreError(what + ": " + DatabaseMessage(query.lastError()));
    if (key.isEmpty()) return QVariant();
    if (!query.next()) throw StoreError(what + ": the database gave no key for the new row");
    return query.value(0);
}

}  // namespace velkora
