// The four tables of the project store.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace velkora {

struct TableColumns {
    QString table;
    QStringList columns;
};

// Every table and column the program reads or writes. A database made with
// another tool works as long as it has these (extra tables or columns are fine).
const QList<TableColumns>& RequiredSchema();

// Creates the tables, relations and indexes in an empty database.
// Throws StoreError with the database's message.
void CreateSchema(QSqlDatabase& db);

// Throws StoreError naming the first missing table or column.
void VerifySchema(const QSqlDatabase& db);

}  // namespace velkora
