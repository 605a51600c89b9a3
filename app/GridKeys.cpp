// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridKeys.h"

#include <QKeyEvent>
#include <array>

#include "BoundDataset.h"

namespace velkora {

namespace {

using A = KeyAction;
using F = KeyField;
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

// The first row that matches acts; a row whose action lets the key go on
// (RefuseUnaccepted for an accepted character) hands it to the next match.
// Keys no row ends go to the table view (in a cell) or the editor.
constexpr std::array kRows = {
    GridKeyRow{Qt::Key_Return, kNone, kInEditor, F::Any, A::WriteCell},
    GridKeyRow{Qt::Key_Enter, kNone, kInEditor, F::Any, A::WriteCell},
    GridKeyRow{Qt::Key_Return, kNone, kInCell, F::Any, A::OpenEditor},
    GridKeyRow{Qt::Key_Enter, kNone, kInCell, F::Any, A::OpenEditor},
    GridKeyRow{Qt::Key_Escape, kNone, kInBoth, F::Any, A::Escape},
    GridKeyRow{Qt::Key_Insert, kNone, kInBoth, F::Any, A::Insert},
    GridKeyRow{Qt::Key_Delete, kCtrl, kInBoth, F::Any, A::Delete},
    GridKeyRow{Qt::Key_Tab, kCtrl, kInCell, F::Any, A::PassFocus},
    GridKeyRow{Qt::Key_Backtab, kCtrl, kInCell, F::Any, A::PassFocus},
    GridKeyRow{Qt::Key_Tab, kNone, kInBoth, F::Any, A::NextCell},
    GridKeyRow{Qt::Key_Backtab, kNone, kInBoth, F::Any, A::PreviousCell},
    GridKeyRow{Qt::Key_F4, kNone, kInCell, F::Lookup, A::OpenEditor},
    GridKeyRow{Qt::Key_Down, kAlt, kInCell, F::Lookup, A::OpenEditor},
    GridKeyRow{Qt::Key_Up, kAlt, kInEditor, F::Any, A::PassOn},
    GridKeyRow{Qt::Key_Down, kAlt, kInEditor, F::Any, A::PassOn},
    GridKeyRow{Qt::Key_PageUp, kAlt, kInEditor, F::Any, A::PassOn},
    GridKeyRow{Qt::Key_PageDown, kAlt, kInEditor, F::Any, A::PassOn},
    GridKeyRow{Qt::Key_Up, kNone, kInBoth, F::Any, A::Move},
    GridKeyRow{Qt::Key_Down, kNone, kInBoth, F::Any, A::Move},
    GridKeyRow{Qt::Key_PageUp, kNone, kInBoth, F::Any, A::Move},
    GridKeyRow{Qt::Key_PageDown, kNone, kInBoth, F::Any, A::Move},
    GridKeyRow{Qt::Key_Home, kNone, kInCell, F::Any, A::Move},
    GridKeyRow{Qt::Key_End, kNone, kInCell, F::Any, A::Move},
    GridKeyRow{kPrintableKey, kNone, kInBoth, F::Lookup, A::Refuse},
    GridKeyRow{kPrintableKey, kNone, kInBoth, F::Number, A::RefuseUnaccepted},
    GridKeyRow{kPrintableKey, kNone, kInCell, F::Any, A::AppendToEmpty},
};

bool Printable(const QKeyEvent& event) {
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint();
}

}  // namespace

std::span<const GridKeyRow> GridKeys() { return kRows; }

bool Matches(const GridKeyRow& row, const QKeyEvent& event, KeyPlace place, KeyField field) {
    if (!(row.places & place)) return false;
    if (row.field != KeyField::Any && row.field != field) return false;
    if ((event.modifiers() & row.held) != row.held) return false;
    return row.key == kPrintableKey ? Printable(event) : event.key() == row.key;
}

KeyField KeyFieldOf(FieldKind kind) {
    switch (kind) {
        case FieldKind::Integer:
        case FieldKind::Float:
            return KeyField::Number;
        case FieldKind::Lookup:
            return KeyField::Lookup;
        case FieldKind::Text:
            break;
    }
    return KeyField::Text;
}

}  // namespace velkora
