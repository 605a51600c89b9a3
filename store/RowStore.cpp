// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowStore.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>

#include "Connection.h"
#include "StoreError.h"
#include "StoredValue.h"

namespace velkora {
namespace {

[[noreturn]] void Refused(const QString& what, const QSqlQuery& query) {
    throw StoreError(what + ": " + query.lastError().text());
}

}  // namespace

RowStore::RowStore(const TableDefinition& definition) : definition_(definition) {}

void RowStore::SetConnection(const QSqlDatabase& db) { connectionName_ = db.connectionName(); }

void RowStore::SetLinkField(int field) { linkField_ = field; }

void RowStore::Open() {
    const QSqlDatabase db = Database();
    hasKey_ =
        !definition_.keyField.isEmpty() && db.record(TableSql()).indexOf(definition_.keyField) >= 0;
    rowNumber_ = RowNumberColumn(db);
    identity_ = hasKey_                 ? Identity::Key
                : !rowNumber_.isEmpty() ? Identity::RowNumber
                                        : Identity::Values;
}

QSqlDatabase RowStore::Database() const {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen())
        throw StoreError(QString("The table %1 cannot be used: the database is not connected")
                             .arg(definition_.table));
    return db;
}

QString RowStore::Name(const QString& identifier) const {
    return Database().driver()->escapeIdentifier(identifier, QSqlDriver::FieldName);
}

QString RowStore::TableSql() const {
    return Database().driver()->escapeIdentifier(definition_.table, QSqlDriver::TableName);
}

// The row number (where the engine has one), the key (when the table has
// one), then the stored fields.
QString RowStore::Columns() const {
    QStringList columns{rowNumber_.isEmpty() ? QString("NULL") : rowNumber_,
                        hasKey_ ? Name(definition_.keyField) : QString("NULL")};
    for (const FieldInfo& field : definition_.fields)
        if (field.kind != FieldKind::Lookup) columns << StoredColumn(field);
    return columns.join(", ");
}

// A text column is read as the bytes the database holds, so that text which
// is not UTF-8 still finds its row in the conflict checks.
QString RowStore::StoredColumn(const FieldInfo& field) const {
    const QString name = Name(field.name);
    return field.kind == FieldKind::Text ? ExactTextColumn(Database(), name) : name;
}

QString RowStore::SelectList() const { return "SELECT " + Columns() + " FROM " + TableSql(); }

// The table's order; ties in the order of storing: by row number, or by the
// key on a server.
QString RowStore::OrderBy() const {
    QStringList order;
    for (const QString& column : definition_.orderBy) order << Name(column);
    if (!rowNumber_.isEmpty())
        order << rowNumber_;
    else if (hasKey_)
        order << Name(definition_.keyField);
    return order.isEmpty() ? QString() : " ORDER BY " + order.join(", ");
}

std::vector<int> RowStore::StoredColumns() const {
    std::vector<int> columns;
    for (std::size_t i = 0; i < definition_.fields.size(); ++i)
        if (definition_.fields[i].kind != FieldKind::Lookup) columns.push_back(int(i));
    return columns;
}

StoredRow RowStore::NewRow() const {
    const std::size_t count = definition_.fields.size();
    return StoredRow{QVariant(), QVariant(), std::vector<QVariant>(count),
                     std::vector<QVariant>(count)};
}

StoredRow RowStore::RowFromQuery(const QSqlQuery& query) const {
    StoredRow row = NewRow();
    row.rowid = query.value(0);
    if (!query.isNull(1)) row.key = query.value(1);
    int column = 2;
    for (std::size_t i = 0; i < definition_.fields.size(); ++i) {
        const FieldInfo& field = definition_.fields[i];
        if (field.kind == FieldKind::Lookup) continue;
        if (!query.isNull(column)) {
            row.read[i] = query.value(column);
            // A null array would bind as NULL; empty text must match empty text.
            if (row.read[i].typeId() == QMetaType::QByteArray && row.read[i].toByteArray().isNull())
                row.read[i] = QByteArray("", 0);
            row.values[i] = Normalized(field.kind, row.read[i]);
        }
        ++column;
    }
    return row;
}

std::vector<StoredRow> RowStore::Read(const QVariant& linkValue) const {
    const bool linked = linkField_ >= 0;
    // A detail of a master without a posted row shows nothing.
    if (linked && linkValue.isNull()) return {};
    QString sql = SelectList();
    if (linked) sql += " WHERE " + Name(definition_.fields[std::size_t(linkField_)].name) + " = ?";
    sql += OrderBy();

    QSqlQuery query(Database());
    query.setForwardOnly(true);
    const QString what = "Could not read the table " + definition_.table;
    if (!query.prepare(sql)) Refused(what, query);
    if (linked) query.addBindValue(linkValue);
    if (!query.exec()) Refused(what, query);
    std::vector<StoredRow> rows;
    while (query.next()) rows.push_back(RowFromQuery(query));
    if (query.lastError().isValid()) Refused(what, query);
    return rows;
}

// The first row where `condition` holds; none when no row does.
std::optional<StoredRow> RowStore::ReadRowWhere(const RowCondition& condition) const {
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    const QString what = "Could not read back the row of " + definition_.table;
    if (!query.prepare(SelectList() + " WHERE " + condition.Text())) Refused(what, query);
    condition.Bind(query);
    if (!query.exec()) Refused(what, query);
    if (query.next()) return RowFromQuery(query);
    if (query.lastError().isValid()) Refused(what, query);
    return std::nullopt;
}

// The key or the row number; nothing where every value identifies the row.
RowCondition RowStore::Identifying(const StoredRow& row) const {
    RowCondition condition(*Database().driver());
    if (identity_ == Identity::Key) condition.Matches(definition_.keyField, row.key);
    if (identity_ == Identity::RowNumber) condition.MatchesRaw(rowNumber_, row.rowid);
    return condition;
}

// The row still holds what this copy read: by key, in the given columns; by
// row number, in every column, so that a number another copy's new row
// reused does not match; else in every column.
RowCondition RowStore::RowAsRead(const StoredRow& row, const std::vector<int>& columns) const {
    RowCondition condition = Identifying(row);
    for (int column : identity_ == Identity::Key ? columns : StoredColumns())
        condition.MatchesRaw(StoredColumn(definition_.fields[std::size_t(column)]),
                             row.read[std::size_t(column)]);
    return condition;
}

// The row as an update left it: the values written in their columns, what
// was read in the others. Where every value identifies the row, this is how
// the row is found once its values changed.
RowCondition RowStore::RowAsWritten(const StoredRow& row, const std::vector<QVariant>& values,
                                    const std::vector<int>& columns) const {
    RowCondition condition(*Database().driver());
    for (int column : StoredColumns()) {
        const auto index = std::size_t(column);
        if (std::find(columns.begin(), columns.end(), column) != columns.end())
            condition.Matches(definition_.fields[index].name, values[index]);
        else
            condition.MatchesRaw(StoredColumn(definition_.fields[index]), row.read[index]);
    }
    return condition;
}

std::optional<StoredRow> RowStore::ReadAgain(const StoredRow& row) const {
    return ReadRowWhere(identity_ == Identity::Values ? RowAsRead(row, {}) : Identifying(row));
}

bool RowStore::SameRow(const StoredRow& a, const StoredRow& b) const {
    switch (identity_) {
        case Identity::Key:
            return SameValue(a.key, b.key);
        case Identity::RowNumber:
            return SameValue(a.rowid, b.rowid);
        case Identity::Values:
            break;
    }
    return a.read == b.read;
}

StoredRow RowStore::Insert(const std::vector<QVariant>& values,
                           const std::vector<int>& columns) const {
    QStringList names;
    QStringList marks;
    for (int column : columns) {
        names << Name(definition_.fields[std::size_t(column)].name);
        marks << "?";
    }
    QString sql = "INSERT INTO " + TableSql();
    sql += names.isEmpty() ? QString(" DEFAULT VALUES")
                           : " (" + names.join(", ") + ") VALUES (" + marks.join(", ") + ")";
    // The new row comes back as stored, key and defaults included; both
    // engines take RETURNING.
    sql += " RETURNING " + Columns();
    QSqlQuery query(Database());
    const QString what = "Could not add the row to " + definition_.table;
    if (!query.prepare(sql)) Refused(what, query);
    for (int column : columns) query.addBindValue(values[std::size_t(column)]);
    if (!query.exec()) Refused(what, query);
    if (!query.next()) {
        if (query.lastError().isValid()) Refused(what, query);
        throw StoreError(what + ": the database gave the new row no key");
    }
    StoredRow row = RowFromQuery(query);
    query.finish();
    return row;
}

UpdateOutcome RowStore::Update(StoredRow& row, const std::vector<QVariant>& values,
                               const std::vector<int>& columns) const {
    if (columns.empty()) return UpdateOutcome::Saved;
    QStringList assignments;
    for (int column : columns)
        assignments << Name(definition_.fields[std::size_t(column)].name) + " = ?";
    const RowCondition condition = RowAsRead(row, columns);
    const QString sql =
        "UPDATE " + TableSql() + " SET " + assignments.join(", ") + " WHERE " + condition.Text();
    QSqlQuery query(Database());
    const QString what = "Could not save the row in " + definition_.table;
    if (!query.prepare(sql)) Refused(what, query);
    for (int column : columns) query.addBindValue(values[std::size_t(column)]);
    condition.Bind(query);
    if (!query.exec()) Refused(what, query);
    if (query.numRowsAffected() == 0) {
        const bool gone = identity_ != Identity::Values && !ReadAgain(row);
        return gone ? UpdateOutcome::DeletedMeanwhile : UpdateOutcome::ChangedMeanwhile;
    }
    std::optional<StoredRow> saved = identity_ == Identity::Values
                                         ? ReadRowWhere(RowAsWritten(row, values, columns))
                                         : ReadAgain(row);
    if (!saved)
        throw StoreError(what +
                         ": it is no longer in the database (another user may have deleted it)");
    row = std::move(*saved);
    return UpdateOutcome::Saved;
}

bool RowStore::Delete(const StoredRow& row) const {
    const RowCondition condition = RowAsRead(row, StoredColumns());
    QSqlQuery query(Database());
    const QString what = "Could not delete the row from " + definition_.table;
    if (!query.prepare("DELETE FROM " + TableSql() + " WHERE " + condition.Text()))
        Refused(what, query);
    condition.Bind(query);
    if (!query.exec()) Refused(what, query);
    return query.numRowsAffected() > 0;
}

}  // namespace velkora
