// SPDX-License-Identifier: GPL-3.0-or-later
#include "Schema.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "Connection.h"
#include "SchemaTable.h"
#include "StoreError.h"

namespace velkora {
namespace {

enum class Engine { Sqlite, Postgres };

// Every name quoted, so the server keeps them upper case and ORDER is a name.
QString Quoted(const char* name) { return '"' + QLatin1String(name) + '"'; }

QString ColumnSql(Engine engine, const SchemaColumn& column) {
    QString sql =
        Quoted(column.name) + ' ' +
        QLatin1String(engine == Engine::Sqlite ? column.type.sqlite : column.type.postgres);
    if (column.size > 0) sql += QString("(%1)").arg(column.size);
    if (column.role == ColumnRole::Master)
        sql += QString(" REFERENCES %1 (%2) ON DELETE CASCADE")
                   .arg(Quoted(column.refersTo), Quoted(KeyColumnOf(column.refersTo)));
    return sql;
}

QStringList StatementsOn(Engine engine) {
    QStringList statements;
    for (const SchemaTableInfo& table : SchemaTables()) {
        QStringList columns;
        for (const SchemaColumn& column : ColumnsOf(table.name))
            if (IsStored(column)) columns << ColumnSql(engine, column);
        statements << QString("CREATE TABLE %1 (%2)").arg(Quoted(table.name), columns.join(", "));
    }
    for (const SchemaTableInfo& table : SchemaTables())
        for (const SchemaIndex& index : table.indexes) {
            QStringList columns;
            for (const char* column : index.columns) columns << Quoted(column);
            statements << QString("CREATE INDEX %1 ON %2 (%3)")
                              .arg(Quoted(index.name), Quoted(table.name), columns.join(", "));
        }
    return statements;
}

}  // namespace

const QList<TableColumns>& RequiredSchema() {
    static const QList<TableColumns> schema = [] {
        QList<TableColumns> tables;
        for (const SchemaTableInfo& table : SchemaTables()) {
            TableColumns entry{QLatin1String(table.name), {}};
            for (const SchemaColumn& column : ColumnsOf(table.name))
                if (IsRequired(column)) entry.columns << QLatin1String(column.name);
            tables << entry;
        }
        return tables;
    }();
    return schema;
}

const QStringList& SqliteSchemaStatements() {
    static const QStringList statements = StatementsOn(Engine::Sqlite);
    return statements;
}

const QStringList& PostgresSchemaStatements() {
    static const QStringList statements = StatementsOn(Engine::Postgres);
    return statements;
}

void CreateSchema(QSqlDatabase& db) {
    if (!db.transaction())
        throw StoreError("Could not create the tables: " + db.lastError().text());
    for (const QString& statement : SchemaStatementsFor(db)) {
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            const QString message = query.lastError().text();
            db.rollback();
            throw StoreError("Could not create the tables: " + message);
        }
    }
    if (!db.commit()) throw StoreError("Could not create the tables: " + db.lastError().text());
}

void VerifySchema(const QSqlDatabase& db, const QString& shownName) {
    const QString file = shownName.isEmpty() ? db.databaseName() : shownName;
    for (const TableColumns& table : RequiredSchema()) {
        // Quoted, since the server folds unquoted names to lower case.
        const QSqlRecord record =
            db.record(db.driver()->escapeIdentifier(table.table, QSqlDriver::TableName));
        if (record.isEmpty())
            throw StoreError(QString("The database %1 has no table %2").arg(file, table.table));
        for (const QString& column : table.columns) {
            if (record.indexOf(column) < 0)
                throw StoreError(QString("The table %1 in the database %2 has no column %3")
                                     .arg(table.table, file, column));
        }
    }
}

QStringList ColumnsWithoutKey(const QString& table) {
    QStringList columns;
    for (const SchemaColumn& column : ColumnsOf(table))
        if (IsRequired(column) && column.role != ColumnRole::Key)
            columns << QLatin1String(column.name);
    return columns;
}

}  // namespace velkora
