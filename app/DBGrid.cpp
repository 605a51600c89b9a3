// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <functional>

#include "BoundDataset.h"
#include "DatasetModel.h"
#include "GridKeys.h"
#include "Prompts.h"
#include "VelkoraApplication.h"

namespace velkora {

namespace {

// The narrow column at the left: a triangle at the current row while browsing,
// an I-beam while it is edited, a star while it is a new row.
class IndicatorHeader : public QHeaderView {
  public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        // The style may leave a clip behind (the label area of so narrow a
        // section is empty), so the glyph is drawn on a restored painter.
        painter->save();
        style()->drawControl(QStyle::CE_Header, &option, painter, this);
        painter->restore();
        const QVariant state =
            model() ? model()->headerData(logicalIndex, Qt::Vertical, DatasetModel::IndicatorRole)
                    : QVariant();
        if (!state.isValid()) return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::black);
        const QPointF c = QRectF(rect).center();
        switch (static_cast<DatasetState>(state.toInt())) {
            case DatasetState::Edit:
                painter->drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
                painter->drawLine(QPointF(c.x() - 2, c.y() - 4), QPointF(c.x() + 2, c.y() - 4));
                painter->drawLine(QPointF(c.x() - 2, c.y() + 4), QPointF(c.x() + 2, c.y() + 4));
                break;
            case DatasetState::Insert:
                for (int i = 0; i < 3; ++i) {
                    painter->save();
                    painter->translate(c);
                    painter->rotate(60.0 * i);
                    painter->drawLine(QPointF(0, -3.5), QPointF(0, 3.5));
                    painter->restore();
                }
                break;
            default: {
                QPainterPath triangle;
                triangle.moveTo(c.x() - 2, c.y() - 4);
                triangle.lineTo(c.x() + 2.5, c.y());
                triangle.lineTo(c.x() - 2, c.y() + 4);
                triangle.closeSubpath();
                painter->drawPath(triangle);
            }
        }
        painter->restore();
    }
};

// The drop-down of a lookup cell: opening it and moving through it move the
// lookup table; only choosing an entry changes the row.
class LookupCombo : public QComboBox {
  public:
    LookupCombo(BoundDataset& dataset, int field, QWidget* parent)
        : QComboBox(parent), dataset_(dataset), field_(field) {
        addItems(dataset.LookupChoices(field));
        setCurrentIndex(dataset.CurrentLookupChoice(field));
        connect(this, &QComboBox::highlighted, this,
                Guarded([this](int choice) { dataset_.PreviewLookup(field_, choice); }));
        connect(this, &QComboBox::activated, this, Guarded([this](int choice) {
                    dataset_.ChooseLookup(field_, choice);
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            if (onClose) onClose();
                        },
                        Qt::QueuedConnection);
                }));
    }

    void showPopup() override {
        try {
            setCurrentIndex(dataset_.OpenLookup(field_));
        } catch (...) {
            ReportLater(std::current_exception());
            return;
        }
        QComboBox::showPopup();
        view()->window()->installEventFilter(this);
    }

    std::function<void()> onClose;

  protected:
    // However the list closes (a choice, Esc, a click outside), the cell then
    // goes back to showing its text; after a choice, activated comes first.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == view()->window())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (onClose) onClose();
                },
                Qt::QueuedConnection);
        return QComboBox::eventFilter(watched, event);
    }

  private:
    BoundDataset& dataset_;
    int field_;
};

QString EditorText(const QWidget* editor) {
    if (const auto* combo = qobject_cast<const QComboBox*>(editor)) return combo->currentText();
    if (const auto* line = qobject_cast<const QLineEdit*>(editor)) return line->text();
    return {};
}

bool IsNumber(const FieldInfo& field) {
    return field.kind == FieldKind::Integer || field.kind == FieldKind::Float;
}

}  // namespace

// Creates the cell editors and routes their keys and focus to the grid.
class GridCellDelegate : public QStyledItemDelegate {
  public:
    explicit GridCellDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const int field = grid_->FieldOfColumn(index.column());
        if (field < 0 || !grid_->Dataset()) return nullptr;
        BoundDataset& dataset = *grid_->Dataset();
        const FieldInfo& info = dataset.Fields()[static_cast<std::size_t>(field)];
        QWidget* editor = nullptr;
        if (info.kind == FieldKind::Lookup) {
            auto* combo = new LookupCombo(dataset, field, parent);
            combo->onClose = [grid = grid_, combo] {
                if (grid->CellEditor() != combo) return;
                // The list had the focus, not the cell: give it back to the grid.
                const bool focusHere = !QApplication::focusWidget() ||
                                       QApplication::focusWidget() == combo ||
                                       combo->isAncestorOf(QApplication::focusWidget());
                grid->DiscardCell();
                if (focusHere) grid->setFocus();
            };
            editor = combo;
        } else if (!info.pickList.isEmpty()) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->addItems(info.pickList);
            combo->setCompleter(nullptr);  // what is typed is what is stored
            if (info.size > 0) combo->lineEdit()->setMaxLength(info.size);
            editor = combo;
        } else {
            auto* line = new QLineEdit(parent);
            line->setFrame(false);
            if (info.size > 0 && info.kind == FieldKind::Text) line->setMaxLength(info.size);
            if (IsNumber(info)) line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            editor = line;
        }
        editor->setFont(option.font);
        grid_->EditorCreated(editor, index);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // Only once: later changes of the row must not overwrite what is typed.
        if (editor->property("velkoraLoaded").toBool()) return;
        editor->setProperty("velkoraLoaded", true);
        if (dynamic_cast<LookupCombo*>(editor)) return;
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(-1);
            combo->setEditText(text);
            combo->lineEdit()->selectAll();  // typing replaces the cell, as in a plain cell
        } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setText(text);
        }
    }

    // The grid writes cell text itself (DBGrid::WriteCell), where a refusal
    // can keep the editor open.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        grid_->EditorDestroyed(editor);
        QStyledItemDelegate::destroyEditor(editor, index);
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            bool handled = true;  // a key that failed is used up
            Reported([&] {
                handled = grid_->HandleKey(static_cast<QKeyEvent*>(event), kInEditor) ==
                          DBGrid::KeyResult::Done;
            });
            return handled;
        }
        if (event->type() == QEvent::FocusOut)
            grid_->EditorFocusLost(static_cast<QFocusEvent*>(event));
        return QObject::eventFilter(object, event);
    }

  private:
    DBGrid* grid_;
};

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    setVerticalHeader(new IndicatorHeader(this));
    setItemDelegate(new GridCellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // A click on the current cell opens its editor (mouseReleaseEvent); a
    // click elsewhere only moves there.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    const int rowHeight = std::max(17, fontMetrics().height() + 4);
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(12);
    rows->setSectionsClickable(false);

    QHeaderView* titles = horizontalHeader();
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    titles->setSectionsMovable(true);
    titles->setSectionsClickable(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setFixedHeight(rowHeight + 1);
    titles->setStretchLastSection(false);
}

DBGrid::~DBGrid() = default;

void DBGrid::SetDataSource(DatasetModel* source, const std::vector<GridColumn>& columns) {
    source_ = source;
    dataset_ = &source->Dataset();
    const std::vector<FieldInfo>& fields = dataset_->Fields();
    setModel(source);

    for (int c = 0; c < static_cast<int>(fields.size()); ++c) setColumnHidden(c, true);
    QHeaderView* titles = horizontalHeader();
    // Each move and width would otherwise lay the whole table out again; it
    // is laid out once, after the last column.
    titles->blockSignals(true);
    for (int visual = 0; visual < static_cast<int>(columns.size()); ++visual) {
        const GridColumn& column = columns[static_cast<std::size_t>(visual)];
        const int logical = dataset_->FieldIndex(column.field);
        if (logical < 0) continue;
        if (!column.title.isEmpty())
            source->setHeaderData(logical, Qt::Horizontal, column.title, Qt::DisplayRole);
        source->setHeaderData(
            logical, Qt::Horizontal,
            QVariant::fromValue((column.centredTitle ? Qt::AlignHCenter : Qt::AlignLeft) |
                                Qt::AlignVCenter),
            Qt::TextAlignmentRole);
        setColumnHidden(logical, false);
        titles->moveSection(titles->visualIndex(logical), visual);
        // A column without a set width is wide enough for its title.
        const QString title = column.title.isEmpty()
                                  ? fields[static_cast<std::size_t>(logical)].DisplayName()
                                  : column.title;
        const int titleWidth = QFontMetrics(titles->font()).horizontalAdvance(title) + 8;
        setColumnWidth(logical,
                       column.width < 0 ? std::max(kDefaultColumnWidth, titleWidth) : column.width);
    }
    titles->blockSignals(false);
    updateGeometries();
    viewport()->update();

    connect(dataset_, &BoundDataset::CurrentRowChanged, this, &DBGrid::SyncToDataset);
    connect(dataset_, &BoundDataset::RowsReset, this, &DBGrid::SyncToDataset);
    connect(dataset_, &BoundDataset::StateChanged, this,
            [this] { verticalHeader()->viewport()->update(); });
    connect(source, &QAbstractItemModel::modelReset, this, &DBGrid::SyncToDataset);
    connect(source, &QAbstractItemModel::rowsInserted, this, &DBGrid::SyncToDataset);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &DBGrid::SyncToDataset);
    SyncToDataset();
}

int DBGrid::FieldOfColumn(int column) const {
    if (!dataset_ || column < 0 || column >= static_cast<int>(dataset_->Fields().size())) return -1;
    return isColumnHidden(column) ? -1 : column;
}

int DBGrid::ColumnOfField(const QString& name) const {
    if (!dataset_) return -1;
    return FieldOfColumn(dataset_->FieldIndex(name));
}

void DBGrid::WriteCell() {
    if (!editor_) return;
    const int field = FieldOfColumn(editorIndex_.column());
    if (cellModified_ && field >= 0 &&
        dataset_->Fields()[static_cast<std::size_t>(field)].kind != FieldKind::Lookup) {
        dataset_->SetFieldText(field, EditorText(editor_));
    }
    CloseCellEditor();
}

void DBGrid::DiscardCell() { CloseCellEditor(); }

QPoint DBGrid::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void DBGrid::ReturnTo(QPoint position) {
    executeDelayedItemsLayout();  // the scroll ranges of the rows read again
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
    if (currentIndex().isValid()) scrollTo(currentIndex());
}

void DBGrid::CloseCellEditor() {
    QWidget* editor = editor_;
    editor_ = nullptr;
    cellModified_ = false;
    if (editor) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DBGrid::EditorCreated(QWidget* editor, const QModelIndex& index) {
    editor_ = editor;
    editorIndex_ = index;
    cellModified_ = false;
    auto edited = Guarded([this] { CellTextEdited(); });
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        connect(line, &QLineEdit::textEdited, this, edited);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->isEditable()) {
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, edited);
        connect(combo, &QComboBox::activated, this, edited);
        combo->lineEdit()->installEventFilter(itemDelegate());
    }
}

void DBGrid::EditorDestroyed(QWidget* editor) {
    if (editor_ == editor) {
        editor_ = nullptr;
        cellModified_ = false;
    }
}

void DBGrid::CellTextEdited() {
    cellModified_ = true;
    if (dataset_->State() == DatasetState::Browse) dataset_->Edit();
}

KeyField DBGrid::CurrentKeyField() const {
    const int field = FieldOfColumn(currentIndex().column());
    if (!dataset_ || field < 0) return KeyField::Any;  // no field: only rows for any field
    return KeyFieldOf(dataset_->Fields()[static_cast<std::size_t>(field)].kind);
}

DBGrid::KeyResult DBGrid::HandleKey(QKeyEvent* event, KeyPlace place) {
    const KeyField field = CurrentKeyField();
    for (const GridKeyRow& row : GridKeys()) {
        if (!Matches(row, *event, place, field)) continue;
        const KeyResult result = Act(row.action, event, place);
        if (result != KeyResult::Continue) return result;
    }
    return KeyResult::PassOn;
}

DBGrid::KeyResult DBGrid::Act(KeyAction action, QKeyEvent* event, KeyPlace place) {
    switch (action) {
        case KeyAction::WriteCell:
            WriteCell();
            break;
        case KeyAction::OpenEditor:
            edit(currentIndex(), EditKeyPressed, event);
            break;
        case KeyAction::Escape:
            EscapeKey();
            break;
        case KeyAction::Insert:
            InsertKey();
            break;
        case KeyAction::Delete:
            DeleteKey();
            break;
        case KeyAction::PassFocus:
            event->ignore();
            break;
        case KeyAction::NextCell:
        case KeyAction::PreviousCell:
            // From a cell with nowhere to go, the focus moves on; an open
            // editor keeps the key.
            if (!TabKey(action == KeyAction::NextCell) && place == kInCell) event->ignore();
            break;
        case KeyAction::Move:
            Navigate(event);
            break;
        case KeyAction::PassOn:
            return KeyResult::PassOn;
        case KeyAction::Refuse:
            break;
        case KeyAction::RefuseUnaccepted:
            return RefuseUnaccepted(event->text());
        case KeyAction::AppendToEmpty:
            if (dataset_->RowCount() == 0 && dataset_->IsOpen() && dataset_->CanModify())
                dataset_->Append();
            return KeyResult::PassOn;
    }
    return KeyResult::Done;
}

DBGrid::KeyResult DBGrid::RefuseUnaccepted(const QString& text) {
    const int field = FieldOfColumn(currentIndex().column());
    for (const QChar c : text) {
        if (!dataset_->AcceptsKey(field, c)) {
            QApplication::beep();
            return KeyResult::Done;
        }
    }
    return KeyResult::Continue;
}

bool DBGrid::Contains(const QWidget* widget) const {
    // Followed across windows: the drop-down list of a cell editor is a
    // window of its own, a child of the editor.
    for (; widget; widget = widget->parentWidget())
        if (widget == this) return true;
    return false;
}

void DBGrid::EditorFocusLost(QFocusEvent* event) {
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    const QWidget* now = QApplication::focusWidget();
    if (!now || Contains(now)) return;
    try {
        LeaveGrid();
    } catch (...) {
        ReportLater(std::current_exception());
    }
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    EditorFocusLost(event);
}

void DBGrid::LeaveGrid() {
    if (!dataset_ || !dataset_->IsOpen()) return;
    WriteCell();
    dataset_->DropUntouchedInsert();
}

void DBGrid::GoTo(const QModelIndex& target) {
    if (!dataset_ || !target.isValid()) return;
    const QModelIndex current = currentIndex();
    if (target.row() != dataset_->CurrentRow()) {
        WriteCell();
        dataset_->MoveTo(target.row());
    } else if (current.isValid() && target.column() != current.column()) {
        WriteCell();
    }
    const int row = dataset_->CurrentRow();
    if (row < 0) return;
    QScopedValueRollback guard(syncing_, true);
    setCurrentIndex(model()->index(row, target.column()));
}

void DBGrid::Navigate(QKeyEvent* event) {
    if (!dataset_) return;
    if (event->key() == Qt::Key_Down &&
        (dataset_->RowCount() == 0 || dataset_->CurrentRow() == dataset_->RowCount() - 1)) {
        DownKey();
        return;
    }
    CursorAction action = MoveDown;
    switch (event->key()) {
        case Qt::Key_Up:
            action = MoveUp;
            break;
        case Qt::Key_PageUp:
            action = MovePageUp;
            break;
        case Qt::Key_PageDown:
            action = MovePageDown;
            break;
        case Qt::Key_Home:
            action = MoveHome;
            break;
        case Qt::Key_End:
            action = MoveEnd;
            break;
        default:
            break;
    }
    GoTo(moveCursor(action, event->modifiers()));
}

void DBGrid::DownKey() {
    if (!dataset_->IsOpen() || !dataset_->CanModify()) return;
    if (dataset_->State() == DatasetState::Insert && !dataset_->IsModified() && !cellModified_)
        return;
    WriteCell();
    dataset_->Append();
}

bool DBGrid::TabKey(bool forward) {
    const QModelIndex current = currentIndex();
    if (!dataset_ || !current.isValid()) return false;  // nothing to move in: focus moves on
    const int next = NextVisualColumn(current.column(), forward);
    if (next >= 0) {
        GoTo(model()->index(current.row(), next));
    } else if (!forward) {
        if (current.row() > 0) GoTo(model()->index(current.row() - 1, LastVisualColumn()));
    } else if (current.row() < dataset_->RowCount() - 1) {
        GoTo(model()->index(current.row() + 1, FirstVisualColumn()));
    } else {
        DownKey();
        QScopedValueRollback guard(syncing_, true);
        if (dataset_->CurrentRow() >= 0)
            setCurrentIndex(model()->index(dataset_->CurrentRow(), FirstVisualColumn()));
    }
    return true;
}

void DBGrid::EscapeKey() {
    // The first Esc takes back what was typed into the cell, including text
    // that the field refused; only a second one cancels the row.
    const int field = FieldOfColumn(currentIndex().column());
    const bool refused = dataset_ && field >= 0 && dataset_->RevertRefusedText(field);
    if (editor_) {
        const bool typed = cellModified_;
        CloseCellEditor();
        if (typed) return;
    }
    if (refused) return;
    if (dataset_ &&
        (dataset_->State() == DatasetState::Edit || dataset_->State() == DatasetState::Insert))
        dataset_->Cancel();
}

void DBGrid::InsertKey() {
    if (!dataset_ || !dataset_->IsOpen() || !dataset_->CanModify()) return;
    WriteCell();
    dataset_->Insert();
}

void DBGrid::DeleteKey() {
    if (!dataset_ || !dataset_->IsOpen() || !dataset_->CanModify() || dataset_->RowCount() == 0)
        return;
    if (!CurrentPrompts().Confirm(window(), kDeleteQuestion)) return;
    DiscardCell();
    dataset_->Delete();
}

int DBGrid::FirstVisualColumn() const {
    const QHeaderView* titles = horizontalHeader();
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (!isColumnHidden(logical)) return logical;
    }
    return 0;
}

int DBGrid::LastVisualColumn() const {
    const QHeaderView* titles = horizontalHeader();
    for (int visual = titles->count() - 1; visual >= 0; --visual) {
        const int logical = titles->logicalIndex(visual);
        if (!isColumnHidden(logical)) return logical;
    }
    return 0;
}

int DBGrid::NextVisualColumn(int column, bool forward) const {
    const QHeaderView* titles = horizontalHeader();
    for (int visual = titles->visualIndex(column) + (forward ? 1 : -1);
         visual >= 0 && visual < titles->count(); visual += forward ? 1 : -1) {
        const int logical = titles->logicalIndex(visual);
        if (!isColumnHidden(logical)) return logical;
    }
    return -1;
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    Reported([&] { GridKey(event); });
}

void DBGrid::GridKey(QKeyEvent* event) {
    if (!dataset_ || HandleKey(event, kInCell) == KeyResult::PassOn)
        QTableView::keyPressEvent(event);
}

void DBGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    clickOnCurrent_ = target.isValid() && target == currentIndex() && !editor_ &&
                      event->button() == Qt::LeftButton;
    if (target.isValid() && target != currentIndex() && !Reported([&] { GoTo(target); })) return;
    QTableView::mousePressEvent(event);
}

void DBGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const bool open = clickOnCurrent_ && indexAt(event->position().toPoint()) == currentIndex();
    clickOnCurrent_ = false;
    if (!open) return;
    QScopedValueRollback guard(clickEdit_, true);
    Reported([&] { edit(currentIndex(), SelectedClicked, event); });
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!dataset_ || !dataset_->IsOpen() || !dataset_->CanModify() || !index.isValid())
        return false;
    const int field = FieldOfColumn(index.column());
    if (field < 0) return false;
    const FieldInfo& info = dataset_->Fields()[static_cast<std::size_t>(field)];
    if (info.readOnly) return false;
    const bool lookup = info.kind == FieldKind::Lookup;
    if (lookup && trigger == AnyKeyPressed) return false;
    if (trigger == SelectedClicked && !clickEdit_) return false;  // only our own click
    // A click on the current cell (see mouseReleaseEvent) opens the editor
    // like a key does, without handing the click on to it.
    const bool opened = trigger == SelectedClicked
                            ? QTableView::edit(index, EditKeyPressed, nullptr)
                            : QTableView::edit(index, trigger, event);
    if (!opened) return false;
    if (lookup && editor_) {
        QPointer<QComboBox> combo = qobject_cast<QComboBox*>(editor_.data());
        QMetaObject::invokeMethod(
            this,
            [this, combo] {
                if (combo && editor_ == combo) combo->showPopup();
            },
            Qt::QueuedConnection);
    }
    return true;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.isValid()) lastColumn_ = current.column();
    QTableView::currentChanged(current, previous);
    verticalHeader()->viewport()->update();
    // The user moves rows through GoTo (keys and clicks). Any other change of
    // the view's row (the view adjusting itself while rows come and go) must
    // not move the dataset: the view goes back to the dataset's row instead.
    if (!syncing_ && dataset_ && current.isValid() && current.row() != dataset_->CurrentRow())
        QMetaObject::invokeMethod(
            this, [this] { SyncToDataset(); }, Qt::QueuedConnection);
}

void DBGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) return;  // no selecting by dragging
    QTableView::mouseMoveEvent(event);
}

void DBGrid::SyncToDataset() {
    if (!dataset_ || !model()) return;
    QScopedValueRollback guard(syncing_, true);
    const int row = dataset_->CurrentRow();
    if (row < 0 || row >= model()->rowCount()) {
        if (currentIndex().isValid()) setCurrentIndex({});
        verticalHeader()->viewport()->update();
        return;
    }
    const int column = currentIndex().isValid() && !isColumnHidden(currentIndex().column())
                           ? currentIndex().column()
                       : lastColumn_ >= 0 && !isColumnHidden(lastColumn_) ? lastColumn_
                                                                          : FirstVisualColumn();
    const QModelIndex target = model()->index(row, column);
    if (target != currentIndex()) setCurrentIndex(target);
    scrollTo(target);
    verticalHeader()->viewport()->update();
}

}  // namespace velkora
