// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableDataset.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

#include "Connection.h"
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

[[noreturn]] void Refused(const QString& what, const QSqlQuery& query) {
    throw StoreError(what + ": " + query.lastError().text());
}

}  // namespace

TableDataset::TableDataset(TableDefinition definition, QObject* parent)
    : BoundDataset(parent), definition_(std::move(definition)), keyMarks_(CurrentRegionalMarks()) {}

TableDataset::~TableDataset() = default;

void TableDataset::SetConnection(const QSqlDatabase& db) { connectionName_ = db.connectionName(); }

void TableDataset::SetMaster(TableDataset& master, const QString& linkField,
                             const QString& masterField) {
    master_ = &master;
    linkField_ = RequireField(linkField);
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
    if (index < 0) throw StoreError(QString("%1 has no field %2").arg(definition_.table, name));
    return index;
}

void TableDataset::RequireOpen() const {
    if (!open_) throw StoreError(QString("The table %1 is not open").arg(definition_.table));
}

const FieldInfo& TableDataset::RequireFieldAt(int field) const {
    if (field < 0 || field >= int(definition_.fields.size()))
        throw StoreError(QString("%1 has no field number %2").arg(definition_.table).arg(field));
    return definition_.fields[std::size_t(field)];
}

// --- Opening, reading -------------------------------------------------------

void TableDataset::Open() {
    if (open_) return;
    const QSqlDatabase db = Database();
    hasKey_ =
        !definition_.keyField.isEmpty() && db.record(TableSql()).indexOf(definition_.keyField) >= 0;
    rowNumber_ = RowNumberColumn(db);
    const QVariant link = master_ ? master_->CurrentMasterValue(masterField_) : QVariant();
    std::vector<Row> rows = ReadRows(link);
    filterValue_ = link;
    emit RowsAboutToReset();
    rows_ = std::move(rows);
    current_ = rows_.empty() ? -1 : 0;
    open_ = true;
    state_ = DatasetState::Browse;
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged();
    SyncDetails();
}

void TableDataset::Close() {
    if (!open_) return;
    emit RowsAboutToReset();
    EndEdit();
    rows_.clear();
    current_ = -1;
    open_ = false;
    state_ = DatasetState::Inactive;
    filterValue_ = QVariant();
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged();
    SyncDetails();
}

bool TableDataset::IsOpen() const { return open_; }
bool TableDataset::CanModify() const { return open_; }
DatasetState TableDataset::State() const { return state_; }
int TableDataset::RowCount() const { return int(rows_.size()); }
int TableDataset::CurrentRow() const { return current_; }

QSqlDatabase TableDataset::Database() const {
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isOpen())
        throw StoreError(QString("The table %1 cannot be used: the database is not connected")
                             .arg(definition_.table));
    return db;
}

QString TableDataset::Name(const QString& identifier) const {
    return Database().driver()->escapeIdentifier(identifier, QSqlDriver::FieldName);
}

QString TableDataset::TableSql() const {
    return Database().driver()->escapeIdentifier(definition_.table, QSqlDriver::TableName);
}

// The row number (where the engine has one), the key (when the table has
// one), then the stored fields.
QString TableDataset::Columns() const {
    QStringList columns{rowNumber_.isEmpty() ? QString("NULL") : rowNumber_,
                        hasKey_ ? Name(definition_.keyField) : QString("NULL")};
    for (const FieldInfo& field : definition_.fields)
        if (field.kind != FieldKind::Lookup) columns << StoredColumn(field);
    return columns.join(", ");
}

// A text column is read as the bytes the database holds, so that text which
// is not UTF-8 still finds its row in the conflict checks.
QString TableDataset::StoredColumn(const FieldInfo& field) const {
    const QString name = Name(field.name);
    return field.kind == FieldKind::Text ? ExactTextColumn(Database(), name) : name;
}

QString TableDataset::SelectList() const { return "SELECT " + Columns() + " FROM " + TableSql(); }

std::vector<TableDataset::Row> TableDataset::ReadRows(const QVariant& linkValue) const {
    // A detail of a master without a posted row shows nothing.
    if (master_ && linkValue.isNull()) return {};
    QString sql = SelectList();
    if (master_) sql += " WHERE " + Name(definition_.fields[std::size_t(linkField_)].name) + " = ?";
    QStringList order;
    for (const QString& column : definition_.orderBy) order << Name(column);
    // Ties in the order of storing: by row number, or by the key on a server.
    if (!rowNumber_.isEmpty())
        order << rowNumber_;
    else if (hasKey_)
        order << Name(definition_.keyField);
    if (!order.isEmpty()) sql += " ORDER BY " + order.join(", ");

    QSqlQuery query(Database());
    query.setForwardOnly(true);
    const QString what = "Could not read the table " + definition_.table;
    if (!query.prepare(sql)) Refused(what, query);
    if (master_) query.addBindValue(linkValue);
    if (!query.exec()) Refused(what, query);
    std::vector<Row> rows;
    while (query.next()) rows.push_back(RowFromQuery(query));
    if (query.lastError().isValid()) Refused(what, query);
    return rows;
}

// The first row where `condition` holds; none when no row does.
std::optional<TableDataset::Row> TableDataset::ReadRowWhere(const RowCondition& condition) const {
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

// The row as the database holds it now: by key, or by row number in a table
// without one (which may by now be another row that reused the number), or,
// on an engine without row numbers, by every value read.
std::optional<TableDataset::Row> TableDataset::ReadRowAgain(const Row& row) const {
    if (!hasKey_ && rowNumber_.isEmpty()) return ReadRowWhere(RowAsRead(row, {}));
    RowCondition condition(*Database().driver());
    if (hasKey_)
        condition.Matches(definition_.keyField, row.key);
    else
        condition.MatchesRaw(rowNumber_, row.rowid);
    return ReadRowWhere(condition);
}

TableDataset::Row TableDataset::RowFromQuery(const QSqlQuery& query) const {
    Row row;
    row.rowid = query.value(0);
    if (!query.isNull(1)) row.key = query.value(1);
    row.values.resize(definition_.fields.size());
    row.read.resize(definition_.fields.size());
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

// --- Values -------------------------------------------------------------------

bool TableDataset::Editing() const {
    return state_ == DatasetState::Edit || state_ == DatasetState::Insert;
}

QVariant TableDataset::StoredValue(int row, int field) const {
    if (row == current_ && Editing()) return buffer_[std::size_t(field)];
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
    if (row == current_ && Editing() && refusedText_[std::size_t(field)])
        return *refusedText_[std::size_t(field)];
    return FieldDisplayText(info, Value(row, field), CurrentRegionalMarks());
}

bool TableDataset::IsModified() const { return Editing() && modified_; }

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

void TableDataset::BeginEdit(std::vector<QVariant> values) {
    buffer_ = std::move(values);
    written_.assign(definition_.fields.size(), false);
    refusedText_.assign(definition_.fields.size(), std::nullopt);
    modified_ = false;
}

void TableDataset::EndEdit() {
    buffer_.clear();
    written_.clear();
    refusedText_.clear();
    modified_ = false;
    conflict_ = false;
}

void TableDataset::Edit() {
    RequireOpen();
    if (Editing()) return;
    if (rows_.empty()) {
        Insert();
        return;
    }
    BeginEdit(rows_[std::size_t(current_)].values);
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
    rows_.insert(rows_.begin() + position,
                 Row{QVariant(), QVariant(), std::vector<QVariant>(definition_.fields.size()),
                     std::vector<QVariant>(definition_.fields.size())});
    current_ = position;
    emit RowInserted(position);
    returnRow_ = previous;
    BeginEdit(std::vector<QVariant>(definition_.fields.size()));
    if (master_) {
        // The link is part of the new row but is not the user's entry: a row
        // with nothing else written is still dropped.
        buffer_[std::size_t(linkField_)] = master_->CurrentMasterValue(masterField_);
        written_[std::size_t(linkField_)] = true;
    }
    SetState(DatasetState::Insert);
    emit CurrentRowChanged();
    SyncDetails();
}

// Leaves the current row for `target` (a row number before leaving; -1 for
// none): posts a changed row, drops an untouched new one. Returns the
// target's number afterwards.
int TableDataset::LeaveRow(int target) {
    if (state_ == DatasetState::Insert && !modified_) {
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

void TableDataset::ConvertRefusedTexts() {
    for (std::size_t i = 0; i < refusedText_.size(); ++i) {
        if (!refusedText_[i]) continue;
        buffer_[i] =
            ParseFieldText(definition_.fields[i], *refusedText_[i], CurrentRegionalMarks());
        written_[i] = true;
        refusedText_[i].reset();
    }
}

void TableDataset::Post() {
    RequireOpen();
    if (!Editing()) return;
    ConvertRefusedTexts();
    if (state_ == DatasetState::Insert) {
        // The new row's ID will change the details' link: settle them first.
        FlushDetails();
        InsertIntoDatabase();
    } else if (modified_) {
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
        ReplaceCurrentRow(ReadRowAgain(rows_[std::size_t(current_)]));
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
    if (open_ && state_ == DatasetState::Insert && !modified_) Cancel();
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
    if (DeleteFromDatabase(rows_[std::size_t(current_)])) {
        emit Stored();
        RemoveCurrentRow();
        return;
    }
    // Not as this copy read it: show what the database holds now.
    const std::optional<Row> now = ReadRowAgain(rows_[std::size_t(current_)]);
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
bool TableDataset::Belongs(const Row& row) const {
    return !master_ || SameValue(row.values[std::size_t(linkField_)], filterValue_);
}

// The current row becomes `row` as read again, or leaves the list when it is
// gone; any edit of it ends.
void TableDataset::ReplaceCurrentRow(std::optional<Row> row) {
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

bool TableDataset::SameIdentity(const Row& a, const Row& b) const {
    return hasKey_                 ? SameValue(a.key, b.key)
           : !rowNumber_.isEmpty() ? SameValue(a.rowid, b.rowid)
                                   : a.read == b.read;
}

int TableDataset::RowWithIdentity(const Row& row) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (SameIdentity(rows_[i], row)) return int(i);
    return -1;
}

void TableDataset::Reread() {
    if (!open_) return;
    const QVariant link = master_ ? master_->CurrentMasterValue(masterField_) : QVariant();
    std::vector<Row> rows = ReadRows(link);
    if (!Editing() && SameValue(link, filterValue_) && SameRowsInOrder(rows))
        UpdateRows(std::move(rows));
    else
        ResetRows(std::move(rows), link);
    for (TableDataset* detail : details_) detail->Reread();
}

bool TableDataset::SameRowsInOrder(const std::vector<Row>& rows) const {
    return std::equal(rows.begin(), rows.end(), rows_.begin(), rows_.end(),
                      [this](const Row& a, const Row& b) { return SameIdentity(a, b); });
}

// The same rows in the same places: only the rows whose values changed are
// shown again, so the grids keep their editors, scroll position and paint.
void TableDataset::UpdateRows(std::vector<Row> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].read == rows_[i].read) continue;
        rows_[i] = std::move(rows[i]);
        emit RowChanged(int(i));
    }
}

void TableDataset::ResetRows(std::vector<Row> rows, const QVariant& link) {
    const std::optional<Row> current =
        current_ >= 0 ? std::optional<Row>(rows_[std::size_t(current_)]) : std::nullopt;
    const int previous = current_;
    emit RowsAboutToReset();
    EndEdit();
    rows_ = std::move(rows);
    filterValue_ = link;
    state_ = DatasetState::Browse;
    current_ = current ? RowWithIdentity(*current) : -1;
    // A current row that is gone leaves its place to the row now there.
    if (current_ < 0 && !rows_.empty()) current_ = std::clamp(previous, 0, RowCount() - 1);
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged();
}

// --- Writing to the database ---------------------------------------------------

std::vector<int> TableDataset::WrittenColumns() const {
    std::vector<int> columns;
    for (std::size_t i = 0; i < definition_.fields.size(); ++i) {
        const FieldInfo& field = definition_.fields[i];
        if (written_[i] && !field.readOnly && field.kind != FieldKind::Lookup)
            columns.push_back(int(i));
    }
    return columns;
}

std::vector<int> TableDataset::StoredColumns() const {
    std::vector<int> columns;
    for (std::size_t i = 0; i < definition_.fields.size(); ++i)
        if (definition_.fields[i].kind != FieldKind::Lookup) columns.push_back(int(i));
    return columns;
}

// The row still holds what this copy read: its key and the given columns'
// values. Without a key column it is found by row number and every value,
// so that a number another copy's new row reused does not match.
RowCondition TableDataset::RowAsRead(const Row& row, const std::vector<int>& columns) const {
    RowCondition condition(*Database().driver());
    if (hasKey_) {
        condition.Matches(definition_.keyField, row.key);
    } else if (!rowNumber_.isEmpty()) {
        condition.MatchesRaw(rowNumber_, row.rowid);
    }
    for (int column : hasKey_ ? columns : StoredColumns())
        condition.MatchesRaw(StoredColumn(definition_.fields[std::size_t(column)]),
                             row.read[std::size_t(column)]);
    return condition;
}

void TableDataset::InsertIntoDatabase() {
    const std::vector<int> columns = WrittenColumns();
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
    for (int column : columns) query.addBindValue(buffer_[std::size_t(column)]);
    if (!query.exec()) Refused(what, query);
    if (!query.next()) {
        if (query.lastError().isValid()) Refused(what, query);
        throw StoreError(what + ": the database gave the new row no key");
    }
    rows_[std::size_t(current_)] = RowFromQuery(query);
    query.finish();
}

// Writes only where the row still holds, in the columns being changed, what
// this copy read; otherwise another copy's post would be overwritten unseen.
void TableDataset::UpdateInDatabase() {
    const std::vector<int> columns = WrittenColumns();
    if (columns.empty()) return;
    QStringList assignments;
    for (int column : columns)
        assignments << Name(definition_.fields[std::size_t(column)].name) + " = ?";
    const Row& row = rows_[std::size_t(current_)];
    const RowCondition condition = RowAsRead(row, columns);
    const QString sql =
        "UPDATE " + TableSql() + " SET " + assignments.join(", ") + " WHERE " + condition.Text();
    QSqlQuery query(Database());
    const QString what = "Could not save the row in " + definition_.table;
    if (!query.prepare(sql)) Refused(what, query);
    for (int column : columns) query.addBindValue(buffer_[std::size_t(column)]);
    condition.Bind(query);
    if (!query.exec()) Refused(what, query);
    if (query.numRowsAffected() == 0) {
        // Without a key or row number a changed row cannot be told from a
        // deleted one: it is then taken as changed, never added twice.
        const bool identified = hasKey_ || !rowNumber_.isEmpty();
        if (identified && !ReadRowAgain(row)) {
            KeepAsNewRow();
            throw StoreError(kDeletedByAnother);
        }
        conflict_ = true;
        throw StoreError(kChangedByAnother);
    }
    const std::optional<Row> saved = ReadRowAgain(row);
    if (!saved)
        throw StoreError(what +
                         ": it is no longer in the database (another user may have deleted it)");
    rows_[std::size_t(current_)] = *saved;
}

// Another copy deleted the row being edited: it becomes a new row holding
// every value shown, so that Post adds it again and Cancel drops it; what was
// typed is never lost unseen. The details stay as they are until then, since
// re-filtering them would drop a pending edit of theirs.
void TableDataset::KeepAsNewRow() {
    const std::size_t count = definition_.fields.size();
    rows_[std::size_t(current_)] =
        Row{QVariant(), QVariant(), std::vector<QVariant>(count), std::vector<QVariant>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        if (definition_.fields[i].readOnly)
            buffer_[i] = QVariant();  // the database gives the new row its key
        else if (!buffer_[i].isNull())
            written_[i] = true;
    }
    modified_ = true;
    returnRow_ = current_;
    SetState(DatasetState::Insert);
    emit RowChanged(current_);
}

// Deletes only where the row still holds every value this copy read.
bool TableDataset::DeleteFromDatabase(const Row& row) {
    const RowCondition condition = RowAsRead(row, StoredColumns());
    QSqlQuery query(Database());
    const QString what = "Could not delete the row from " + definition_.table;
    if (!query.prepare("DELETE FROM " + TableSql() + " WHERE " + condition.Text()))
        Refused(what, query);
    condition.Bind(query);
    if (!query.exec()) Refused(what, query);
    return query.numRowsAffected() > 0;
}

// --- Field text -----------------------------------------------------------------

void TableDataset::SetFieldText(int field, const QString& text) {
    RequireOpen();
    const FieldInfo& info = RequireFieldAt(field);
    if (info.readOnly || info.kind == FieldKind::Lookup)
        throw Failure(
            QString("Field '%1' cannot be modified").arg(info.DisplayName()).toStdString());
    Edit();
    const auto index = std::size_t(field);
    modified_ = true;
    try {
        buffer_[index] = ParseFieldText(info, text, CurrentRegionalMarks());
    } catch (const Failure&) {
        // Kept as typed: shown in the cell, and Post refuses it again.
        refusedText_[index] = text;
        emit RowChanged(current_);
        throw;
    }
    written_[index] = true;
    refusedText_[index].reset();
    emit RowChanged(current_);
}

bool TableDataset::RevertRefusedText(int field) {
    RequireFieldAt(field);
    if (!Editing() || !refusedText_[std::size_t(field)]) return false;
    refusedText_[std::size_t(field)].reset();
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
    if (state_ == DatasetState::Insert && !modified_)
        DropNewRow();
    else if (Editing())
        Post();
}

void TableDataset::Refilter(const QVariant& linkValue) {
    filterValue_ = linkValue;
    std::vector<Row> rows;
    QString failure;
    try {
        rows = ReadRows(linkValue);
    } catch (const StoreError& error) {
        failure = QString::fromStdString(error.what());  // shown empty, reported below
    }
    emit RowsAboutToReset();
    EndEdit();
    rows_ = std::move(rows);
    current_ = rows_.empty() ? -1 : 0;
    state_ = DatasetState::Browse;
    emit RowsReset();
    emit StateChanged();
    emit CurrentRowChanged();
    SyncDetails();
    if (!failure.isEmpty()) throw StoreError(failure);
}

// --- Lookup ---------------------------------------------------------------------------

const TableDataset::Lookup& TableDataset::RequireLookup(int field) const {
    for (const Lookup& lookup : lookups_)
        if (lookup.field == field) return lookup;
    throw StoreError(
        QString("Field %1 of %2 is not a lookup field").arg(field).arg(definition_.table));
}

QVariant TableDataset::LookupResult(const Lookup& lookup, const QVariant& key) const {
    if (key.isNull()) return {};
    for (const Row& row : lookup.source->rows_)
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
    const auto index = std::size_t(lookup.keyField);
    buffer_[index] = key;
    written_[index] = true;
    refusedText_[index].reset();
    modified_ = true;
    emit RowChanged(current_);
}

}  // namespace velkora
