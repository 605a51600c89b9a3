// SPDX-License-Identifier: GPL-3.0-or-later
// The keys of a data-bound grid as one table: which key, in which place (the
// grid's cell or its open editor), on which kind of field, does what.
#pragma once

#include <Qt>
#include <span>

class QKeyEvent;

namespace velkora {

enum class FieldKind;

// Where the key arrives: the grid itself, or the editor open in a cell.
enum KeyPlace : unsigned { kInCell = 1, kInEditor = 2, kInBoth = kInCell | kInEditor };

// The kind of the current column's field, as the keys tell them apart.
enum class KeyField { Any, Number, Text, Lookup };

enum class KeyAction {
    WriteCell,         // writes the open cell without posting
    OpenEditor,        // opens the current cell (a lookup cell: its list)
    Escape,            // takes back the typed text, then the row
    Insert,            // a new row before the current one
    Delete,            // deletes the current row after asking
    PassFocus,         // the focus moves on to the next widget
    NextCell,          // Tab: the next cell, past the end a new row
    PreviousCell,      // Shift+Tab
    Move,              // rows up and down, pages, first and last
    PassOn,            // to the editor (e.g. Alt+Down opens a drop-down)
    Refuse,            // typing into a cell that takes none
    RefuseUnaccepted,  // typing a character the field cannot hold; others go on
    AppendToEmpty,     // typing into an empty table starts a new row
};

// Matches any key that types a printable character.
inline constexpr int kPrintableKey = -1;

struct GridKeyRow {
    int key;                     // Qt::Key, or kPrintableKey
    Qt::KeyboardModifiers held;  // all of these are held (others may be too)
    unsigned places;             // KeyPlace bits
    KeyField field;
    KeyAction action;
};

// The rows in the order they are tried.
std::span<const GridKeyRow> GridKeys();

bool Matches(const GridKeyRow& row, const QKeyEvent& event, KeyPlace place, KeyField field);

// The key's view of a dataset field kind.
KeyField KeyFieldOf(FieldKind kind);

}  // namespace velkora
