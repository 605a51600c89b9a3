// SPDX-License-Identifier: GPL-3.0-or-later
// The four tables of the project store.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "SchemaTable.h"

namespace velkora {

struct TableColumns {
    QString table;
    QStringList columns;
};

// Every table and column the program reads or writes. A database made with
// another tool works as long as it has these (extra tables or columns are fine).
const QList<TableColumns>& RequiredSchema();

// The statements that make the tables, relations and indexes, per engine.
// Both declare the same relations; on the server every identifier is quoted
// so the tables and columns keep their upper-case names.
const QStringList& SqliteSchemaStatements();
const QStringList& PostgresSchemaStatements();

// Creates the tables, relations and indexes in an empty database with the
// statements of the connection's provider, in one transaction.
// Throws StoreError with the database's message.
void CreateSchema(QSqlDatabase& db);

// Throws StoreError naming the first missing table or column; shownName
// names the database in the message (default: the connection's database name).
void VerifySchema(const QSqlDatabase& db, const QString& shownName = QString());

// The program's columns of table without its key ID, in the schema's order.
// Throws std::logic_error for a table the schema does not have.
QStringList ColumnsWithoutKey(const QString& table);

}  // namespace velkora
