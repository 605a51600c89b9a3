// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableDefinitions.h"

#include "SchemaTable.h"

namespace velkora {
namespace {

FieldInfo FieldOf(const SchemaColumn& column) {
    FieldInfo field;
    field.name = QLatin1String(column.name);
    field.label = QLatin1String(column.label);
    field.kind = column.kind;
    field.pattern = QLatin1String(column.pattern);
    field.size = column.size;
    field.pickList = QString(QLatin1String(column.pickList)).split(u'|', Qt::SkipEmptyParts);
    field.readOnly = column.readOnly;
    field.visible = column.visible;
    return field;
}

}  // namespace

TableDefinition DefinitionOf(const QString& table) {
    TableDefinition definition{table, {}, QLatin1String(KeyColumnOf(table)), {}};
    for (const SchemaColumn& column : ColumnsOf(table))
        if (IsRequired(column) || !IsStored(column)) definition.fields.push_back(FieldOf(column));
    for (const char* column : TableInfoOf(table).orderBy) definition.orderBy << column;
    return definition;
}

TableDefinition ProjectsDefinition() { return DefinitionOf(schema::kProjects); }
TableDefinition ElementsDefinition() { return DefinitionOf(schema::kElements); }
TableDefinition TaperDefinition() { return DefinitionOf(schema::kTaper); }
TableDefinition TaperSizesDefinition() { return DefinitionOf(schema::kTaperSizes); }

}  // namespace velkora
