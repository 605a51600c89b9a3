// SPDX-License-Identifier: GPL-3.0-or-later
// The SQL-backed bound dataset: one table of the store read into memory (a
// static cursor), optionally filtered by a master dataset and carrying a
// lookup field resolved against another dataset.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <optional>

#include "BoundDataset.h"
#include "RegionalMarks.h"
#include "RowCondition.h"
#include "TableDefinitions.h"

namespace velkora {

class TableDataset : public BoundDataset {
    Q_OBJECT
  public:
    explicit TableDataset(TableDefinition definition, QObject* parent = nullptr);
    ~TableDataset() override;

    // The connection statements run on. Set before Open(); the dataset keeps
    // only the connection's name.
    void SetConnection(const QSqlDatabase& db);
    // Follow `master`: show the rows whose `linkField` equals the master's
    // `masterField` of its current row.
    void SetMaster(TableDataset& master, const QString& linkField,
                   const QString& masterField = QStringLiteral("ID"));
    // The lookup field `lookupField` shows `resultField` of the row of `source`
    // whose `sourceKey` equals this row's `keyField`.
    void SetLookup(const QString& lookupField, const QString& keyField, TableDataset& source,
                   const QString& sourceKey = QStringLiteral("ID"),
                   const QString& resultField = QStringLiteral("NOME"));
    // Posts a pending edit of a detail, then of this dataset (an untouched
    // new row is dropped), as moving to another row would.
    void PostPending();
    // Re-reads the rows from the database, keeping the current row where it
    // still exists (by key); the details follow. Pending edits are posted
    // first; if a post fails this throws and nothing is re-read.
    void Refresh();
    // The marks whose decimal separator the key filter takes (those in force
    // when the window was created). Display and conversion use the current ones.
    void SetKeyMarks(const RegionalMarks& marks);

    const QString& TableName() const override;
    const std::vector<FieldInfo>& Fields() const override;
    int FieldIndex(const QString& name) const override;

    void Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool CanModify() const override;
    DatasetState State() const override;

    int RowCount() const override;
    int CurrentRow() const override;
    void MoveTo(int row) override;

    QVariant Value(int row, int field) const override;
    QString DisplayText(int row, int field) const override;

    void Insert() override;
    void Append() override;
    void Edit() override;
    void Post() override;
    void Cancel() override;
    void Delete() override;

    void SetFieldText(int field, const QString& text) override;
    bool RevertRefusedText(int field) override;
    bool AcceptsKey(int field, QChar key) const override;
    bool IsModified() const override;
    void DropUntouchedInsert() override;

    QStringList LookupChoices(int field) const override;
    int CurrentLookupChoice(int field) const override;
    int OpenLookup(int field) override;
    void PreviewLookup(int field, int choice) override;
    void ChooseLookup(int field, int choice) override;

  private:
    struct Row {
        QVariant rowid;
        QVariant key;                  // the key column's value; null without one
        std::vector<QVariant> values;  // one per field; lookup fields stay null
        std::vector<QVariant> read;    // as the database gave them, for the conflict checks
    };
    struct Lookup {
        int field = -1;
        int keyField = -1;
        TableDataset* source = nullptr;
        int sourceKey = -1;
        int resultField = -1;
    };

    int RequireField(const QString& name) const;
    const FieldInfo& RequireFieldAt(int field) const;
    void RequireOpen() const;
    bool Editing() const;
    QVariant StoredValue(int row, int field) const;

    QSqlDatabase Database() const;
    QString Name(const QString& identifier) const;  // escaped by the driver
    QString TableSql() const;
    QString Columns() const;
    QString StoredColumn(const FieldInfo& field) const;
    QString SelectList() const;
    std::vector<Row> ReadRows(const QVariant& linkValue) const;
    std::optional<Row> ReadRowWhere(const RowCondition& condition) const;
    std::optional<Row> ReadRowAgain(const Row& row) const;
    Row RowFromQuery(const QSqlQuery& query) const;
    std::vector<int> WrittenColumns() const;
    void InsertIntoDatabase();
    void UpdateInDatabase();
    void KeepAsNewRow();
    bool DeleteFromDatabase(const Row& row);  // false when the row was not as read
    RowCondition RowAsRead(const Row& row, const std::vector<int>& columns) const;
    std::vector<int> StoredColumns() const;
    bool Belongs(const Row& row) const;
    void ReplaceCurrentRow(std::optional<Row> row);
    void RemoveCurrentRow();
    bool SameIdentity(const Row& a, const Row& b) const;
    int RowWithIdentity(const Row& row) const;
    void Reread();
    bool SameRowsInOrder(const std::vector<Row>& rows) const;
    void UpdateRows(std::vector<Row> rows);
    void ResetRows(std::vector<Row> rows, const QVariant& link);

    void SetState(DatasetState state);
    void SetCurrent(int row);
    void BeginEdit(std::vector<QVariant> values);
    void EndEdit();
    void AddRow(bool atEnd);
    int LeaveRow(int target);
    int RowAfterDrop() const;
    void DropNewRow();
    void ConvertRefusedTexts();

    // Master side: the value a detail filters by, and keeping details in step.
    QVariant CurrentMasterValue(int field) const;
    void PrepareDetails(int nextRow);  // posts or drops a detail's pending row if it will re-filter
    void FlushDetails();
    void SyncDetails();
    // Detail side.
    void FlushPending();
    void Refilter(const QVariant& linkValue);

    const Lookup& RequireLookup(int field) const;
    QVariant LookupResult(const Lookup& lookup, const QVariant& key) const;
    std::vector<int> ChoiceRows(const Lookup& lookup) const;
    int RequireChoice(const Lookup& lookup, int choice) const;

    TableDefinition definition_;
    QString connectionName_;
    RegionalMarks keyMarks_;
    bool open_ = false;
    DatasetState state_ = DatasetState::Inactive;
    std::vector<Row> rows_;
    int current_ = -1;
    int returnRow_ = -1;  // the row that was current before an insert
    // The row being edited or inserted: values, which fields were written,
    // and texts refused by the conversion, shown until corrected.
    std::vector<QVariant> buffer_;
    std::vector<bool> written_;
    std::vector<std::optional<QString>> refusedText_;
    bool modified_ = false;
    bool conflict_ = false;  // a post was refused: Cancel re-reads the row
    bool hasKey_ = false;    // the table has the key column
    QString rowNumber_;      // the engine's row number column; empty when it has none

    TableDataset* master_ = nullptr;
    int linkField_ = -1;
    int masterField_ = -1;
    QVariant filterValue_;
    std::vector<TableDataset*> details_;
    std::vector<Lookup> lookups_;
};

}  // namespace velkora
