// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of one table on one connection: reading them, writing them, and
// finding a row again as this copy read it.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "RowCondition.h"
#include "TableDefinitions.h"

namespace velkora {

// One row as this copy read it.
struct StoredRow {
    QVariant rowid;                // the engine's row number; null where it has none
    QVariant key;                  // the key column's value; null without one
    std::vector<QVariant> values;  // one per field; lookup fields stay null
    std::vector<QVariant> read;    // as the database gave them, for the conflict checks
};

// What an UPDATE of a row as this copy read it met.
enum class UpdateOutcome { Saved, ChangedMeanwhile, DeletedMeanwhile };

// Every statement names the table and its columns through the driver and
// binds its values, so both engines take it. Failures throw StoreError with
// the database's message.
class RowStore {
  public:
    // The definition is kept by reference and must outlive the store.
    explicit RowStore(const TableDefinition& definition);

    // The connection statements run on; only its name is kept.
    void SetConnection(const QSqlDatabase& db);
    // Read() then gives only the rows whose field `field` holds the link value.
    void SetLinkField(int field);
    // Looks at the table on the connection and decides how a row is found
    // again: by the key column; else by the engine's row number together with
    // every value read; else by every value read.
    void Open();

    // An empty row, as a new row starts.
    StoredRow NewRow() const;
    // The rows in the table's order, ties in the order of storing. With a link
    // field, a null link value gives no rows.
    std::vector<StoredRow> Read(const QVariant& linkValue = QVariant()) const;
    // The row as the database holds it now; none when it is gone. By row
    // number this may be another row that reused the number.
    std::optional<StoredRow> ReadAgain(const StoredRow& row) const;
    // Whether two rows read are the same row of the table.
    bool SameRow(const StoredRow& a, const StoredRow& b) const;

    // Adds a row of `values` (one per field), writing the fields `columns`,
    // and returns it as stored, key and defaults included.
    StoredRow Insert(const std::vector<QVariant>& values, const std::vector<int>& columns) const;
    // Writes the fields `columns` of `values` only where the row still holds,
    // in those columns, what this copy read; when saved, `row` becomes the
    // row read back. Without a way to tell a changed row from a deleted one,
    // a row not found is taken as changed, so it is never added twice.
    UpdateOutcome Update(StoredRow& row, const std::vector<QVariant>& values,
                         const std::vector<int>& columns) const;
    // Deletes the row only where it still holds every value this copy read;
    // false when it did not.
    bool Delete(const StoredRow& row) const;

  private:
    enum class Identity { Key, RowNumber, Values };

    QSqlDatabase Database() const;
    QString Name(const QString& identifier) const;  // escaped by the driver
    QString TableSql() const;
    QString Columns() const;
    QString StoredColumn(const FieldInfo& field) const;
    QString SelectList() const;
    QString OrderBy() const;
    std::vector<int> StoredColumns() const;
    StoredRow RowFromQuery(const QSqlQuery& query) const;
    std::optional<StoredRow> ReadRowWhere(const RowCondition& condition) const;
    RowCondition Identifying(const StoredRow& row) const;
    RowCondition RowAsRead(const StoredRow& row, const std::vector<int>& columns) const;
    RowCondition RowAsWritten(const StoredRow& row, const std::vector<QVariant>& values,
                              const std::vector<int>& columns) const;

    const TableDefinition& definition_;
    QString connectionName_;
    int linkField_ = -1;
    bool hasKey_ = false;  // the table has the key column
    QString rowNumber_;    // the engine's row number column; empty when it has none
    Identity identity_ = Identity::Values;
};

}  // namespace velkora
