// A live, editable table of the project store: a current row, a state
// (browsing, editing, inserting) and the usual insert/append/edit/post/cancel/
// delete. Every post and delete goes straight to the database.
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
    QString name;         // column name, e.g. "LEN"; "LK_TAPER" for the lookup
    QString label;        // "SIZE"; empty when the field has none
    FieldKind kind = FieldKind::Text;
    QString pattern;      // NumberPattern used for display; empty for none
    int size = 0;         // text fields: at most this many characters
    QStringList pickList; // offered in the cell, any text is accepted
    bool readOnly = false;// ID
    bool visible = true;  // false for ID and link fields the grids do not show by default

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
    // Posts a changed row or drops an untouched new one, then moves.
    // Throws StoreError (or a conversion Failure) and stays when the post fails.
    virtual void MoveTo(int row) = 0;

    virtual QVariant Value(int row, int field) const = 0;      // null QVariant for no value
    virtual QString DisplayText(int row, int field) const = 0; // also the text offered for editing

    virtual void Insert() = 0;  // new row at the current position
    virtual void Append() = 0;  // new row at the end
    virtual void Edit() = 0;
    virtual void Post() = 0;    // throws; the row stays in edit with what was typed
    virtual void Cancel() = 0;
    virtual void Delete() = 0;  // the current row, without asking

    // Writes a cell's text into the current row's field (putting the row in
    // edit): converts by the field's kind and throws Failure with
    // "'%s' is not a valid floating point value for field '%s'" and the like.
    virtual void SetFieldText(int field, const QString& text) = 0;
    // Whether the number cell of this field takes this typed character.
    virtual bool AcceptsKey(int field, QChar key) const = 0;

signals:
    void StateChanged();
    void CurrentRowChanged();
    void RowsReset();             // rows re-read or re-filtered
    void RowChanged(int row);     // one row's values changed
};

}  // namespace velkora
