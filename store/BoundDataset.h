// SPDX-License-Identifier: GPL-3.0-or-later
// A live, editable table of the project store: a current row, a state
// (browsing, editing, inserting) and the usual insert/append/edit/post/cancel/
// delete. Every post and delete goes straight to the database.
//
// Why not QSqlTableModel: the grids work on one current row in browse, edit
// or insert, with post and cancel, and leaving a row posts it; a model has no
// current row and caches edits over many rows. A model holds values only,
// while here a text that does not convert stays in the cell as typed and
// every post refuses it again until it is corrected. And every post is
// checked against what this copy read: UPDATE and DELETE apply only where the
// row still holds those values, on both engines and in tables with or
// without a key column, where a model finds the row by its primary key and
// overwrites another copy's change unseen.
//
// This is the interface the window binds to. Its implementation belongs to the
// store; members may be added, but renaming one means telling the window's side.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace velkora {

enum class DatasetState { Inactive, Browse, Edit, Insert };

enum class FieldKind { Integer, Float, Text, Lookup };

struct FieldInfo {
    QString name;   // column name, e.g. "LEN"; "LK_TAPER" for the lookup
    QString label;  // "SIZE"; empty when the field has none
    FieldKind kind = FieldKind::Text;
    QString pattern;        // NumberPattern used for display; empty for none
    int size = 0;           // text fields: at most this many characters
    QStringList pickList;   // offered in the cell, any text is accepted
    bool readOnly = false;  // ID
    bool visible = true;    // false for ID and link fields the grids do not show by default

    // The label, or the name where there is no label (messages, column titles).
    QString DisplayName() const { return label.isEmpty() ? name : label; }
};

class BoundDataset : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~BoundDataset() override = default;

    virtual const QString& TableName() const = 0;
    virtual const std::vector<FieldInfo>& Fields() const = 0;
    virtual int FieldIndex(const QString& name) const = 0;  // -1 when unknown

    virtual void Open() = 0;  // throws StoreError
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool CanModify() const = 0;
    virtual DatasetState State() const = 0;

    virtual int RowCount() const = 0;    // includes a row being inserted
    virtual int CurrentRow() const = 0;  // -1 when there is no row
    // Posts a changed row or drops an untouched new one, then moves. When this
    // is a master, a pending edit of its detail is posted first (an untouched
    // new detail row dropped); if any post fails this throws StoreError (or a
    // conversion Failure) and nothing moves. Moving to the current row does
    // nothing.
    virtual void MoveTo(int row) = 0;

    // The row's value (for the current row in edit: the value being edited);
    // a null QVariant for no value. Integer fields give qlonglong, Float
    // fields double, Text and Lookup fields QString.
    virtual QVariant Value(int row, int field) const = 0;
    // The cell's text, also the text offered for editing: the field's
    // NumberPattern, general form or plain digits under the current regional
    // marks, empty for no value. For the current row, a text that was refused
    // by SetFieldText is shown as typed until it is corrected or cancelled.
    virtual QString DisplayText(int row, int field) const = 0;

    // Insert/Append first post a changed row (or drop an untouched new one).
    // A new detail row gets the master's ID in its link field (empty when the
    // master has no row or an unposted new one).
    virtual void Insert() = 0;  // new row at the current position
    virtual void Append() = 0;  // new row at the end
    virtual void Edit() = 0;    // on an empty dataset: Insert()
    // Writes the row (INSERT, or UPDATE by key) and reads it back; a new row
    // gets its ID. An UPDATE applies only where the row still holds, in the
    // columns being changed, the values this copy read; otherwise another
    // copy changed or deleted it and the post is refused. Throws StoreError
    // with the database's message or that refusal (or the conversion Failure
    // of a refused text); the row stays in edit with what was typed. In
    // Browse it does nothing.
    virtual void Post() = 0;
    // Drops the pending change (a new row disappears). After a refused post
    // the row is read again: its current values, or gone from the list.
    virtual void Cancel() = 0;
    // Deletes the current row from the database without asking (a new row is
    // just dropped), only where it still holds every value this copy read.
    // Throws StoreError when the database refuses, or when another copy
    // changed the row (it then shows its current values) or deleted it (it
    // leaves the list).
    virtual void Delete() = 0;

    // Writes a cell's text into the current row's field (putting the row in
    // edit, or inserting on an empty dataset): converts by the field's kind and
    // throws Failure with "'%s' is not a valid floating point value for field
    // '%s'" or "'%s' is not a valid integer value for field '%s'"; the row then
    // stays in edit showing the text, and Post refuses it again. Emptied number
    // text stores null, emptied text stores "". Read-only and lookup fields
    // refuse any text ("Field '%s' cannot be modified").
    // Call it only for a cell whose text the user changed: writing the offered
    // text back unchanged would round the value to the display's decimals and
    // turn a never-entered text field from null into "".
    virtual void SetFieldText(int field, const QString& text) = 0;
    // Drops a field's refused text from the row being edited, so the cell
    // shows the field's value again (the first Esc). Returns whether the field
    // held refused text.
    virtual bool RevertRefusedText(int field) = 0;
    // Whether the number cell of this field takes this typed character: digits,
    // "+", "-", and for Float fields "E", "e" and the decimal separator in force
    // when the store was opened (control characters such as backspace too).
    // Text fields take every key.
    virtual bool AcceptsKey(int field, QChar key) const = 0;

    // True while the row being edited or inserted has had a value written into
    // it. A new row that is not modified is dropped instead of posted.
    virtual bool IsModified() const = 0;
    // Leaving the grid for another control: drops a new row in which nothing
    // was entered; any other state is left as it is.
    virtual void DropUntouchedInsert() = 0;

    // The drop-down of a lookup field (FieldKind::Lookup, e.g. LK_TAPER).
    // Choices are numbered from 0 in the order LookupChoices() lists them.
    // Every function here throws std::logic_error when `field` is not a
    // lookup field: that is the caller's mistake, not the user's.
    //
    // The names offered, in the lookup table's order (TTaper's order).
    virtual QStringList LookupChoices(int field) const = 0;
    // The choice naming the current row's value; -1 when the row has none, its
    // value names no row of the lookup table, or there is no current row.
    virtual int CurrentLookupChoice(int field) const = 0;
    // Opening the drop-down: moves the lookup table (TTaper) to the current
    // row's choice, or to its first row when there is none. Returns the choice
    // to highlight: CurrentLookupChoice().
    virtual int OpenLookup(int field) = 0;
    // Moving through the open list: moves the lookup table to that choice
    // without changing this row.
    virtual void PreviewLookup(int field, int choice) = 0;
    // Choosing an entry: puts the current row in edit (inserting when the
    // dataset is empty) and stores the choice's key into the key field
    // (ID_TAPER). The only way a lookup field changes.
    virtual void ChooseLookup(int field, int choice) = 0;

  signals:
    void StateChanged();
    void CurrentRowChanged();
    void RowsAboutToReset();   // followed by RowsReset
    void RowsReset();          // rows re-read or re-filtered, or the dataset opened/closed
    void RowChanged(int row);  // one row's values changed
    void RowAboutToBeInserted(int row);  // followed by RowInserted(row)
    void RowInserted(int row);
    void RowAboutToBeRemoved(int row);  // followed by RowRemoved(row)
    void RowRemoved(int row);
    void FieldValuesChanged(int field);  // one field of every row changed (a lookup's names)
    void Stored();                       // a post or delete reached the database
};

}  // namespace velkora
