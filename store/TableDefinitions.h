// SPDX-License-Identifier: GPL-3.0-or-later
// How each of the four tables is shown and edited.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "BoundDataset.h"

namespace velkora {

// How one table is shown and edited.
struct TableDefinition {
    QString table;
    std::vector<FieldInfo> fields;  // stored columns and lookup fields, in grid order
    // The column that identifies a row. TAPER_SIZES has it only in
    // stores the program made; without it a row is found by its row number
    // together with every value this copy read.
    QString keyField;
    QStringList orderBy;  // leading sort columns; ties always in rowid order
};

// A table's fields and order, as the schema describes them.
// Throws std::logic_error for a table the schema does not have.
TableDefinition DefinitionOf(const QString& table);

// The four tables' fields with their labels, display patterns, sizes and pick lists.
TableDefinition ProjectsDefinition();
TableDefinition ElementsDefinition();  // carries the lookup LK_TAPER
TableDefinition TaperDefinition();
TableDefinition TaperSizesDefinition();

}  // namespace velkora
