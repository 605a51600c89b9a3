// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableDataset.h"

#include <algorithm>
#include <stdexcept>

#include "FieldText.h"
#include "StoreError.h"
#include "StoredValue.h"

namespace velkora {
namespace {

// What a post meets when another copy changed the row after this copy read
// it. The error box has only OK, so it names the keys that act in the grid.
const char* const kChangedByAnother =
    "The row was changed by another user since it was read. Press Esc or the \u2717 button to "
    "drop your change and see its current values, then enter your change again";
// What a post meets when another copy deleted the row meanwhile.
const char* const kDeletedByAnother =
    "The row was deleted by another user since it was read. It stays here as a new row with "
    "your values: the \u2713 button adds it again, Esc or the \u2717 button drops it";

}  // namespace

TableDataset::TableDataset(TableDefinition definition, QObject* parent)
    : BoundDataset(parent),
      definition_(std::move(definition)),
      store_(definition_),
      keyMarks_(CurrentRegionalMarks()) {}

TableDataset::~TableDataset() = default;

void TableDataset::SetConnection(const QSqlDatabase& db) { store_.SetConnection(db); }

void TableDataset::SetMaster(TableDataset& master, const QString& linkField,
                             const QString& masterField) {
    master_ = &master;
    linkField_ = RequireField(linkField);
    store_.SetLinkField(linkField_);
    masterField_ = master.RequireField(masterField);
    master.details_.push_back(this);
}

void TableDataset::SetLookup(const QString& lookupField, const QString& keyField,
                             TableDataset& source, const QString& sourceKey,
                             const QString& resultField) {
    Lookup lookup{RequireField(lookupField), RequireField(keyField), &source,
                  source.RequireField(sourceKey), source.RequireField(resultField)};
    lookups_.push_back(lookup);
    // The names shown follow every change of the lookup table.
    const int field = lookup.field;
    const auto namesChanged = [this, field] {
        if (open_) emit FieldValuesChanged(field);
    };
    connect(&source, &BoundDataset::RowChanged, this, namesChanged);
    connect(&source, &BoundDataset::RowsReset, this, namesChanged);
    connect(&source, &BoundDataset::RowInserted, this, namesChanged);
    connect(&source, &BoundDataset::RowRemoved, this, namesChanged);
}

void TableDataset::SetKeyMarks(const RegionalMarks& marks) { keyMarks_ = marks; }

const QString& TableDataset::TableName() const { return definition_.table; }
const std::vector<FieldInfo>& TableDataset::Fields() const { return definition_.fields; }

int TableDataset::FieldIndex(const QString& name) const {
    for (std::size_t i = 0; i < definition_.fields.size(); ++i)
        if (definition_.fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

int TableDataset::RequireField(const QString& name) const {
    const int index = FieldIndex(name);
    if (index < 0)
        throw std::logic_error(
            QString("%1 has no field %2").arg(definition_.table, name).toStdString());
    return index;
}

void TableDataset::RequireOpen() const {
    if (!open_) throw StoreError(QString("The table %1 is not open").arg(definition_.table));
}

const FieldInfo& TableDataset::RequireFieldAt(int field) const {
    if (field < 0 || field >= int(definition_.fields.size()))
        throw std::logic_error(
            QString("%1 has no field number %2").arg(definition_.table).arg(field).toStdString());
    return definition_.fields[std::size_t(field)];
}

// --- Opening, reading -------------------------------------------------------

void TableDataset::Open() {
    if (open_) return;
    store_.Open();
    const QVariant link = LinkValue();
    std::vector<StoredRow> rows = store_.Read(link);
    const int current = rows.empty() ? -1 : 0;
    Reset(std::move(rows), current, DatasetState::Browse, link);
    SyncDetails();
}

void TableDataset::Close() {
    if (!open_) return;
    Reset({}, -1, DatasetState::Inactive, QVariant());
    SyncDetails();
}

bool TableDataset::IsOpen() const { return open_; }
bool TableDataset::CanModify() const { return open_; }
DatasetState TableDataset::State() const { return state_; }
int TableDataset::RowCount() const { return int(rows_.size()); }
int TableDataset::CurrentRow() const { return current_; }

// --- Values -------------------------------------------------------------------

bool TableDataset::Editing() const {
    return state_ == DatasetState::Edit || state_ == DatasetState::Insert;
}

QVariant TableDataset::StoredValue(int row, int field) const {
    if (row == current_ && Editing()) return edit_.values[std::size_t(field)];
    return rows_[std::size_t(row)].values[std::size_t(field)];
}

QVariant TableDataset::Value(int row, int field) const {
    if (row < 0 || row >= RowCount()) return {};
    RequireFieldAt(field);
    for (const Lookup& lookup : lookups_)
        if (lookup.field == field) return LookupResult(lookup, StoredValue(row, lookup.keyField));
    return StoredValue(row, field);
}

QString TableDataset::DisplayText(int row, int field) const {
    if (row < 0 || row >= RowCount()) return {};
    const FieldInfo& info = RequireFieldAt(field);
    if (row == current_ && Editing() && edit_.refused[std::size_t(field)])
        return *edit_.refused[std::size_t(field)];
    return FieldDisplayText(info, Value(row, field), CurrentRegionalMarks());
}

bool TableDataset::IsModified() const { return Editing() && edit_.modified; }

// --- States -------------------------------------------------------------------

void TableDataset::SetState(DatasetState state) {
    if (state_ == state) return;
    state_ = state;
    emit StateChanged();
}

void TableDataset::SetCurrent(int row) {
    if (current_ == row) return;
    current_ = row;
    emit CurrentRowChanged();
}

void TableDataset::EndEdit() {
    edit_.Clear();
    conflict_ = false;
}

void TableDataset::Edit() {
    RequireOpen();
    if (Editing()) return;
    if (rows_.empty()) {
        Insert();
        return;
    }
    edit_.Begin(rows_[std::size_t(current_)].values);
    SetState(DatasetState::Edit);
}

void TableDataset::Insert() { AddRow(false); }
void TableDataset::Append() { AddRow(true); }

void TableDataset::AddRow(bool atEnd) {
    RequireOpen();
    PrepareDetails(-1);  // a new row has no ID yet: the details will show nothing
    LeaveRow(-1);
    const int position = atEnd || current_ < 0 ? RowCount() : current_;
    const int previous = current_;
    emit RowAboutToBeInserted(position);
    rows_.insert(rows_.begin() + position, store_.NewRow());
    current_ = position;
    emit RowInserted(position);
    returnRow_ = previous;
    edit_.Begin(std::vector<QVariant>(definition_.fields.size()));
    // The link is part of the new row but is not the user's entry: a row
    // with nothing else written is still dropped.
    if (master_) edit_.Write(linkField_, LinkValue());
    SetState(DatasetState::Insert);
    emit CurrentRowChanged();
    SyncDetails();
}

// Leaves the current row for `target` (a row number before leaving; -1 for
// none): posts a changed row, drops an untouched new one. Returns the
// target's number afterwards.
int TableDataset::LeaveRow(int target) {
    if (state_ == DatasetState::Insert && !edit_.modified) {
        const int dropped = current_;
        DropNewRow();
        return target > dropped ? target - 1 : target;
    }
    if (Editing()) Post();
    return target;
}

// The row that becomes current when the new row is dropped, numbered as after
// the drop: the one that was current before the insert.
int TableDataset::RowAfterDrop() const {
    const int remaining = RowCount() - 1;
    if (remaining <= 0) return -1;
    return std::clamp(returnRow_, 0, remaining - 1);
}

void TableDataset::DropNewRow() {
    const int row = current_;
    const int back = RowAfterDrop();
    emit RowAboutToBeRemoved(row);
    rows_.erase(rows_.begin() + row);
    EndEdit();
    state_ = DatasetState::Browse;
    current_ = back;
    emit RowRemoved(row);
    emit StateChanged();
    emit CurrentRowChanged();
}

void TableDataset::MoveTo(int row) {
    RequireOpen();
    if (row == current_) return;
    if (row < 0 || row >= RowCount())
        throw StoreError(QString("%1 has no row %2").arg(definition_.table).arg(row + 1));
    PrepareDetails(row);
    const int target = LeaveRow(row);
    SetCurrent(target);
    SyncDetails();
}

void TableDataset::Post() {
    RequireOpen();
    if (!Editing()) return;
    edit_.ConvertRefusedTexts(definition_.fields, CurrentRegionalMarks());
    if (state_ == DatasetState::Insert) {
        // The new row's ID will change the details' link: settle them first.
        FlushDetails();
        rows_[std::size_t(current_)] =
            store_.Insert(edit_.values, edit_.WrittenColumns(definition_.fields));
    } else if (edit_.modified) {
        UpdateInDatabase();
    }
    emit Stored();
    EndEdit();
    SetState(DatasetState::Browse);
    emit RowChanged(current_);
    SyncDetails();
}

void TableDataset::Cancel() {
    if (!open_ || !Editing()) return;
    if (conflict_) {
        // The post was refused: show what the database holds now.
        ReplaceCurrentRow(store_.ReadAgain(rows_[std::size_t(current_)]));
        return;
    }
    if (state_ == DatasetState::Insert) {
        const int back = RowAfterDrop();
        PrepareDetails(back >= current_ ? back + 1 : back);  // its number before the drop
        DropNewRow();
        SyncDetails();
        return;
    }
    EndEdit();
    SetState(DatasetState::Browse);
    emit RowChanged(current_);
}

void TableDataset::DropUntouchedInsert() {
    if (open_ && state_ == DatasetState::Insert && !edit_.modified) Cancel();
}

void TableDataset::Delete() {
    RequireOpen();
    if (state_ == DatasetState::Insert) {
        Cancel();
        return;
    }
    if (rows_.empty())
        throw StoreError(QString("There is no row of %1 to delete").arg(definition_.table));
    PrepareDetails(current_ + 1 < RowCount() ? current_ + 1 : current_ - 1);
    if (store_.Delete(rows_[std::size_t(current_)])) {
        emit Stored();
        RemoveCurrentRow();
        return;
    }
    // Not as this copy read it: show what the database holds now.
    const std::optional<StoredRow> now = store_.ReadAgain(rows_[std::size_t(current_)]);
    const bool changed = now && Belongs(*now);
    ReplaceCurrentRow(now);
    if (changed)
        throw StoreError(
            "The row was changed by another user since it was read, so it was not deleted. "
            "Its current values are shown now");
    throw StoreError(QString("The row was no longer in %1: another user had already deleted it. "
                             "It is removed from the list.")
                         .arg(definition_.table));
}

// Whether a row read again still belongs to the rows shown (a detail's link).
bool TableDataset::Belongs(const StoredRow& row) const {
    return !master_ || SameValue(row.values[std::size_t(linkField_)], filterValue_);
}

// The current row becomes `row` as read again, or leaves the list when it is
// gone; any edit of it ends.
void TableDataset::ReplaceCurrentRow(std::optional<StoredRow> row) {
    if (!row || !Belongs(*row)) {
        RemoveCurrentRow();
        return;
    }
    rows_[std::size_t(current_)] = std::move(*row);
    EndEdit();
    SetState(DatasetState::Browse);
    emit RowChanged(current_);
    SyncDetails();
}

void TableDataset::RemoveCurrentRow() {
    const int row = current_;
    EndEdit();
    emit RowAboutToBeRemoved(row);
    rows_.erase(rows_.begin() + row);
    state_ = DatasetState::Browse;
    current_ = std::min(row, RowCount() - 1);
    emit RowRemoved(row);
    emit StateChanged();
    emit CurrentRowChanged();
    SyncDetails();
}

// --- Reading again ---------------------------------------------------------------

void TableDataset::PostPending() {
    FlushDetails();
    FlushPending();
}

void TableDataset::Refresh() {
    if (!open_) return;
    PostPending();
    Reread();
}

int TableDataset::RowWithIdentity(const std::vector<StoredRow>& rows, const StoredRow& row) const {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (store_.SameRow(rows[i], row)) return int(i);
    return -1;
}

void TableDataset::Reread() {
    if (!open_) return;
    const QVariant link = LinkValue();
    std::vector<StoredRow> rows = store_.Read(link);
    if (!Editing() && SameValue(link, filterValue_) && SameRowsInOrder(rows))
        UpdateRows(std::move(rows));
    else
        ResetRows(std::move(rows), link);
    for (TableDataset* detail : details_) detail->Reread();
}

bool TableDataset::SameRowsInOrder(const std::vector<StoredRow>& rows) const {
    return std::equal(
        rows.begin(), rows.end(), rows_.begin(), rows_.end(),
        [this](const StoredRow& a, const StoredRow& b) { return store_.SameRow(a, b); });
}

// The same rows in the same places: only the rows whose values changed are
// shown again, so the grids keep their editors, scroll position and paint.
void TableDataset::UpdateRows(std::vector<StoredRow> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].read == rows_[i].read) continue;
        rows_[i] = std::move(rows[i]);
        emit RowChanged(int(i));
    }
}

// Other rows or another order: the current row stays current where it is
// still there, else its place goes to the row now there.
void TableDataset::ResetRows(std::vector<StoredRow> rows, const QVariant& link) {
    int current = current_ >= 0 ? RowWithIdentity(rows, rows_[std::size_t(current_)]) : -1;
    if (current < 0 && !rows.empty()) current = std::clamp(current_, 0, int(rows.size()) - 1);
    Reset(std::move(rows), current, DatasetState::Browse, link);
}

// Every row replaced at once and any edit ended: the one way the rows are
// opened, closed, re-filtered or re-read in another shape.
void TableDataset::Reset(std::vector<StoredRow> rows, int current, DatasetState state,
                         const QVariant& link) {
    emit RowsAboutToReset();
    EndEdit();
    rows_ = std::move(rows);
    current_ = current;
    state_ = state;
    open_ = state != DatasetState::Inactive;
    filterValue_ = link;
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged();
}

// --- Writing to the database ---------------------------------------------------

// A post over another copy's change or deletion is refused; what was typed
// stays in the row.
void TableDataset::UpdateInDatabase() {
    const UpdateOutcome outcome = store_.Update(rows_[std::size_t(current_)], edit_.values,
                                                edit_.WrittenColumns(definition_.fields));
    if (outcome == UpdateOutcome::DeletedMeanwhile) {
        KeepAsNewRow();
        throw StoreError(kDeletedByAnother);
    }
    if (outcome == UpdateOutcome::ChangedMeanwhile) {
        conflict_ = true;
        throw StoreError(kChangedByAnother);
    }
}

// Another copy deleted the row being edited: it becomes a new row holding
// every value shown, so that Post adds it again and Cancel drops it; what was
// typed is never lost unseen. The details stay as they are until then, since
// re-filtering them would drop a pending edit of theirs.
void TableDataset::KeepAsNewRow() {
    rows_[std::size_t(current_)] = store_.NewRow();
    edit_.KeepAsNew(definition_.fields);
    returnRow_ = current_;
    SetState(DatasetState::Insert);
    emit RowChanged(current_);
}

// --- Field text -----------------------------------------------------------------

void TableDataset::SetFieldText(int field, const QString& text) {
    RequireOpen();
    const FieldInfo& info = RequireFieldAt(field);
    if (info.readOnly || info.kind == FieldKind::Lookup)
        throw Failure(
            QString("Field '%1' cannot be modified").arg(info.DisplayName()).toStdString());
    Edit();
    edit_.modified = true;
    try {
        edit_.Write(field, ParseFieldText(info, text, CurrentRegionalMarks()));
    } catch (const Failure&) {
        // Kept as typed: shown in the cell, and Post refuses it again.
        edit_.refused[std::size_t(field)] = text;
        emit RowChanged(current_);
        throw;
    }
    emit RowChanged(current_);
}

bool TableDataset::RevertRefusedText(int field) {
    RequireFieldAt(field);
    if (!Editing() || !edit_.Revert(field)) return false;
    emit RowChanged(current_);
    return true;
}

bool TableDataset::AcceptsKey(int field, QChar key) const {
    return FieldAcceptsKey(RequireFieldAt(field), key, keyMarks_);
}

// --- Master and detail -------------------------------------------------------------

QVariant TableDataset::CurrentMasterValue(int field) const {
    if (!open_ || current_ < 0) return {};
    return rows_[std::size_t(current_)].values[std::size_t(field)];
}

QVariant TableDataset::LinkValue() const {
    return master_ ? master_->CurrentMasterValue(masterField_) : QVariant();
}

void TableDataset::PrepareDetails(int nextRow) {
    for (TableDataset* detail : details_) {
        const QVariant next =
            nextRow >= 0 && nextRow < RowCount()
                ? rows_[std::size_t(nextRow)].values[std::size_t(detail->masterField_)]
                : QVariant();
        if (!SameValue(next, detail->filterValue_)) detail->FlushPending();
    }
}

void TableDataset::FlushDetails() {
    for (TableDataset* detail : details_) detail->FlushPending();
}

void TableDataset::SyncDetails() {
    for (TableDataset* detail : details_) {
        if (!detail->open_) continue;
        const QVariant value = CurrentMasterValue(detail->masterField_);
        if (!SameValue(value, detail->filterValue_)) detail->Refilter(value);
    }
}

void TableDataset::FlushPending() {
    if (!open_) return;
    if (state_ == DatasetState::Insert && !edit_.modified)
        DropNewRow();
    else if (Editing())
        Post();
}

void TableDataset::Refilter(const QVariant& linkValue) {
    std::vector<StoredRow> rows;
    QString failure;
    try {
        rows = store_.Read(linkValue);
    } catch (const StoreError& error) {
        failure = QString::fromStdString(error.what());  // shown empty, reported below
    }
    const int current = rows.empty() ? -1 : 0;
    Reset(std::move(rows), current, DatasetState::Browse, linkValue);
    SyncDetails();
    if (!failure.isEmpty()) throw StoreError(failure);
}

// --- Lookup ---------------------------------------------------------------------------

const TableDataset::Lookup& TableDataset::RequireLookup(int field) const {
    for (const Lookup& lookup : lookups_)
        if (lookup.field == field) return lookup;
    throw std::logic_error(QString("Field %1 of %2 is not a lookup field")
                               .arg(field)
                               .arg(definition_.table)
                               .toStdString());
}

QVariant TableDataset::LookupResult(const Lookup& lookup, const QVariant& key) const {
    if (key.isNull()) return {};
    for (const StoredRow& row : lookup.source->rows_)
        if (SameValue(row.values[std::size_t(lookup.sourceKey)], key))
            return row.values[std::size_t(lookup.resultField)];
    return {};
}

// The source rows that can be chosen: those with a key (a new, unposted
// schedule has none yet).
std::vector<int> TableDataset::ChoiceRows(const Lookup& lookup) const {
    std::vector<int> rows;
    const auto& sourceRows = lookup.source->rows_;
    for (std::size_t i = 0; i < sourceRows.size(); ++i)
        if (!sourceRows[i].values[std::size_t(lookup.sourceKey)].isNull()) rows.push_back(int(i));
    return rows;
}

QStringList TableDataset::LookupChoices(int field) const {
    const Lookup& lookup = RequireLookup(field);
    QStringList names;
    for (int row : ChoiceRows(lookup))
        names << lookup.source->rows_[std::size_t(row)]
                     .values[std::size_t(lookup.resultField)]
                     .toString();
    return names;
}

int TableDataset::CurrentLookupChoice(int field) const {
    const Lookup& lookup = RequireLookup(field);
    if (!open_ || current_ < 0) return -1;
    const QVariant key = StoredValue(current_, lookup.keyField);
    if (key.isNull()) return -1;
    const std::vector<int> rows = ChoiceRows(lookup);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (SameValue(
                lookup.source->rows_[std::size_t(rows[i])].values[std::size_t(lookup.sourceKey)],
                key))
            return int(i);
    return -1;
}

int TableDataset::OpenLookup(int field) {
    const Lookup& lookup = RequireLookup(field);
    const int choice = CurrentLookupChoice(field);
    TableDataset& source = *lookup.source;
    if (choice >= 0)
        source.MoveTo(ChoiceRows(lookup)[std::size_t(choice)]);
    else if (source.RowCount() > 0)
        source.MoveTo(0);
    return choice;
}

int TableDataset::RequireChoice(const Lookup& lookup, int choice) const {
    const std::vector<int> rows = ChoiceRows(lookup);
    if (choice < 0 || choice >= int(rows.size()))
        throw StoreError(QString("There is no entry %1 in the list").arg(choice + 1));
    return rows[std::size_t(choice)];
}

void TableDataset::PreviewLookup(int field, int choice) {
    const Lookup& lookup = RequireLookup(field);
    lookup.source->MoveTo(RequireChoice(lookup, choice));
}

void TableDataset::ChooseLookup(int field, int choice) {
    RequireOpen();
    const Lookup& lookup = RequireLookup(field);
    const int sourceRow = RequireChoice(lookup, choice);
    const QVariant key =
        lookup.source->rows_[std::size_t(sourceRow)].values[std::size_t(lookup.sourceKey)];
    Edit();
    edit_.Write(lookup.keyField, key);
    edit_.modified = true;
    emit RowChanged(current_);
}

}  // namespace velkora
