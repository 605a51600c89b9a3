// SPDX-License-Identifier: GPL-3.0-or-later
// A data-bound grid: shows chosen fields of a bound dataset through its data
// source and edits them in place. The grid's current row is the dataset's
// current row; leaving a row posts it (or drops a new row nothing was entered
// into), leaving a cell writes its text into the field without posting.
#pragma once

#include <QPointer>
#include <QTableView>
#include <vector>

#include "GridKeys.h"

namespace velkora {

class BoundDataset;
class DatasetModel;

struct GridColumn {
    GridColumn(QString fieldName, int columnWidth = -1, QString columnTitle = {},
               bool centred = false)
        : field(std::move(fieldName)),
          width(columnWidth),
          title(std::move(columnTitle)),
          centredTitle(centred) {}

    QString field;   // the dataset's field name, e.g. "NOME"
    int width = -1;  // pixels; -1 for the default width
    QString title;   // empty: the field's label, or its name
    bool centredTitle = false;
};

class DBGrid : public QTableView {
    Q_OBJECT
  public:
    static constexpr int kDefaultColumnWidth = 64;

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void SetDataSource(DatasetModel* source, const std::vector<GridColumn>& columns);
    DatasetModel* DataSource() const { return source_; }
    BoundDataset* Dataset() const { return dataset_; }

    // The dataset field shown in a model column, and back (-1 when not shown).
    int FieldOfColumn(int column) const;
    int ColumnOfField(const QString& name) const;

    // The open cell editor, if any.
    QWidget* CellEditor() const { return editor_; }
    // Writes the open cell's text into its field (without posting) and closes
    // the editor. A refused text throws and leaves the editor open with it.
    void WriteCell();
    // Closes the open cell editor without writing.
    void DiscardCell();
    // The scroll position, to come back to after the rows were read again;
    // ReturnTo still shows the current row.
    QPoint ScrollPosition() const;
    void ReturnTo(QPoint position);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

  private:
    friend class GridCellDelegate;

    // Editor callbacks from the delegate.
    void EditorCreated(QWidget* editor, const QModelIndex& index);
    void EditorDestroyed(QWidget* editor);
    void CellTextEdited();
    void EditorFocusLost(QFocusEvent* event);

    // The keys of the cell and of its editor, through the key table:
    // Done when the grid used the key, PassOn when the table view or the
    // editor gets it; Continue lets the next matching row have it.
    enum class KeyResult { Done, PassOn, Continue };
    KeyResult HandleKey(QKeyEvent* event, KeyPlace place);
    KeyResult Act(KeyAction action, QKeyEvent* event, KeyPlace place);
    KeyResult RefuseUnaccepted(const QString& text);
    KeyField CurrentKeyField() const;
    // The grid's own keys; keyPressEvent reports what fails here.
    void GridKey(QKeyEvent* event);
    void GoTo(const QModelIndex& target);
    void Navigate(QKeyEvent* event);
    bool TabKey(bool forward);  // false when the focus should leave the grid
    void DownKey();
    void EscapeKey();
    void DeleteKey();
    void InsertKey();
    void LeaveGrid();
    bool Contains(const QWidget* widget) const;
    int FirstVisualColumn() const;
    int LastVisualColumn() const;
    int NextVisualColumn(int column, bool forward) const;  // -1 past either end
    void SyncToDataset();
    void CloseCellEditor();

    DatasetModel* source_ = nullptr;
    BoundDataset* dataset_ = nullptr;
    QPointer<QWidget> editor_;
    QPersistentModelIndex editorIndex_;
    bool cellModified_ = false;
    bool syncing_ = false;
    bool clickOnCurrent_ = false;
    bool clickEdit_ = false;
    int lastColumn_ = -1;  // kept across a reset of the rows
};

}  // namespace velkora
