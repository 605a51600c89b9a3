#include "StoreSql.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include "StoreError.h"

namespace velkora {

QString QuotedName(const QSqlDatabase& db, const QString& name) {
    return db.driver()->escapeIdentifier(name, QSqlDriver::FieldName);
}

QVariant InsertRow(const QSqlDatabase& db, const QString& table, const QStringList& columns,
                   const QVariantList& values, const QString& key, const QString& what) {
    QStringList names;
    for (const QString& column : columns) names << QuotedName(db, column);
    QString sql = "INSERT INTO " + QuotedName(db, table);
    sql += names.isEmpty() ? QString(" DEFAULT VALUES")
                           : " (" + names.join(", ") + ") VALUES (" +
                                 QStringList(names.size(), "?").join(", ") + ")";
    if (!key.isEmpty()) sql += " RETURNING " + QuotedName(db, key);
    QSqlQuery query(db);
    if (!query.prepare(sql)) throw StoreError(what + ": " + query.lastError().text());
    for (const QVariant& value : values) query.addBindValue(value);
    if (!query.exec()) throw StoreError(what + ": " + query.lastError().text());
    if (key.isEmpty()) return QVariant();
    if (!query.next()) throw StoreError(what + ": the database gave no key for the new row");
    return query.value(0);
}

}  // namespace velkora
