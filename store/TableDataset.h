// SPDX-License-Identifier: GPL-3.0-or-later
// The bound dataset of one table of the store, read into memory (a static
// cursor): its states and current row, optionally filtered by a master
// dataset and carrying a lookup field resolved against another dataset. Its
// rows are read and written by a RowStore; the row being edited is an
// EditBuffer.
#pragma once

#include <QSqlDatabase>
#include <optional>

#include "BoundDataset.h"
#include "EditBuffer.h"
#include "RegionalMarks.h"
#include "RowStore.h"
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
    void SetMaster(TableDataset& master, const QString& linkField, const QString& masterField);
    // The lookup field `lookupField` shows `resultField` of the row of `source`
    // whose `sourceKey` equals this row's `keyField`.
    void SetLookup(const QString& lookupField, const QString& keyField, TableDataset& source,
                   const QString& sourceKey, const QString& resultField);
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

    void UpdateInDatabase();
    void KeepAsNewRow();
    bool Belongs(const StoredRow& row) const;
    void ReplaceCurrentRow(std::optional<StoredRow> row);
    void RemoveCurrentRow();
    int RowWithIdentity(const std::vector<StoredRow>& rows, const StoredRow& row) const;
    void Reread();
    bool SameRowsInOrder(const std::vector<StoredRow>& rows) const;
    void UpdateRows(std::vector<StoredRow> rows);
    void ResetRows(std::vector<StoredRow> rows, const QVariant& link);
    void Reset(std::vector<StoredRow> rows, int current, DatasetState state, const QVariant& link);

    void SetState(DatasetState state);
    void SetCurrent(int row);
    void EndEdit();
    void AddRow(bool atEnd);
    int LeaveRow(int target);
    int RowAfterDrop() const;
    void DropNewRow();

    // Master side: the value a detail filters by, and keeping details in step.
    QVariant CurrentMasterValue(int field) const;
    QVariant LinkValue() const;        // the master's value this detail filters by now
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
    RowStore store_;  // reads and writes definition_'s table
    RegionalMarks keyMarks_;
    bool open_ = false;
    DatasetState state_ = DatasetState::Inactive;
    std::vector<StoredRow> rows_;
    int current_ = -1;
    int returnRow_ = -1;  // the row that was current before an insert
    EditBuffer edit_;
    bool conflict_ = false;  // a post was refused: Cancel re-reads the row

    TableDataset* master_ = nullptr;
    int linkField_ = -1;
    int masterField_ = -1;
    QVariant filterValue_;
    std::vector<TableDataset*> details_;
    std::vector<Lookup> lookups_;
};

}  // namespace velkora
