// SPDX-License-Identifier: GPL-3.0-or-later
// The schema as data: a row per column of the four tables, and per table its
// order, indexes and whether its key may be missing.
#pragma once

#include <vector>

#include "BoundDataset.h"

namespace velkora {

// The names the program uses in code; the schema table spells every other one.
namespace schema {
inline constexpr char kProjects[] = "PROJECTS";
inline constexpr char kElements[] = "ELEMENTS";
inline constexpr char kTaper[] = "TAPER";
inline constexpr char kTaperSizes[] = "TAPER_SIZES";

inline constexpr char kId[] = "ID";
inline constexpr char kNome[] = "NOME";
inline constexpr char kF0[] = "F0";
inline constexpr char kSourceWire[] = "SOURCE_WIRE";
inline constexpr char kHeight[] = "HEIGHT";
inline constexpr char kIdProject[] = "ID_PROJECT";
inline constexpr char kType[] = "TYPE";
inline constexpr char kLen[] = "LEN";
inline constexpr char kIdTaper[] = "ID_TAPER";
inline constexpr char kDistance[] = "DISTANCE";
inline constexpr char kUm[] = "UM";
inline constexpr char kOrder[] = "ORDER";
inline constexpr char kDiameter[] = "DIAMETER";
inline constexpr char kLength[] = "LENGTH";
}  // namespace schema

enum class ColumnRole {
    Key,     // the row's identity, given by the database
    Master,  // the key of the master row; deleting the master deletes the row
    Link,    // the key of a row of another table, kept when that row goes
    Plain,
    Lookup,  // not stored: shows a column of the row a Link column points at
};

// A column's SQL type on each engine; text columns add their size.
struct EngineTypes {
    const char* sqlite = nullptr;
    const char* postgres = nullptr;
};

struct SchemaColumn {
    const char* table = nullptr;
    const char* name = nullptr;
    FieldKind kind = FieldKind::Text;
    ColumnRole role = ColumnRole::Plain;
    EngineTypes type = {};      // none for a lookup
    int size = 0;               // text: at most this many characters
    const char* label = "";     // the grid's title; empty for the name
    const char* pattern = "";   // NumberPattern for display
    const char* pickList = "";  // choices offered in the cell, separated by '|'
    bool visible = true;        // shown by the grids by default
    bool readOnly = false;
    const char* refersTo = nullptr;  // Master, Link, Lookup: the other table
    const char* through = nullptr;   // Lookup: the Link column it follows
    const char* shows = nullptr;     // Lookup: the other table's column it shows
};

struct SchemaIndex {
    const char* name;
    std::vector<const char*> columns;
};

struct SchemaTableInfo {
    const char* name;
    // The key is in every store the program made, but other tools' stores may
    // lack it; such a table is read without it and the key is no field.
    bool keyOptional = false;
    std::vector<const char*> orderBy = {};  // leading sort columns; ties in the store's order
    std::vector<SchemaIndex> indexes = {};
};

// The tables in the order they are made, checked and read: a table comes
// after the tables its Master columns refer to.
const std::vector<SchemaTableInfo>& SchemaTables();
// Every column of every table, each table's in its order.
const std::vector<SchemaColumn>& SchemaColumns();

// The columns of one table. Throws std::logic_error for a table the schema
// does not have.
std::vector<SchemaColumn> ColumnsOf(const QString& table);
const SchemaTableInfo& TableInfoOf(const QString& table);
// The name of the table's key column.
const char* KeyColumnOf(const QString& table);
// Whether the column is in the table the database holds (not a lookup), and
// is required there.
bool IsStored(const SchemaColumn& column);
bool IsRequired(const SchemaColumn& column);

}  // namespace velkora
