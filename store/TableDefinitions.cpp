// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableDefinitions.h"

namespace velkora {
namespace {

FieldInfo Field(QString name, FieldKind kind, QString label = {}, QString pattern = {}) {
    FieldInfo field;
    field.name = std::move(name);
    field.kind = kind;
    field.label = std::move(label);
    field.pattern = std::move(pattern);
    return field;
}

FieldInfo KeyField() {
    FieldInfo field = Field("ID", FieldKind::Integer);
    field.readOnly = true;
    field.visible = false;
    return field;
}

FieldInfo HiddenInteger(QString name) {
    FieldInfo field = Field(std::move(name), FieldKind::Integer);
    field.visible = false;
    return field;
}

FieldInfo TextField(QString name, int size, QString label = {}, QStringList pickList = {}) {
    FieldInfo field = Field(std::move(name), FieldKind::Text, std::move(label));
    field.size = size;
    field.pickList = std::move(pickList);
    return field;
}

}  // namespace

TableDefinition ProjectsDefinition() {
    return {"PROJECTS",
            {KeyField(), TextField("NOME", 255, "PROJECT NAME"),
             Field("F0", FieldKind::Float, {}, "###,##0.000"), TextField("SOURCE_WIRE", 255),
             Field("HEIGHT", FieldKind::Integer, {}, "##")},
            "ID",
            {}};
}

TableDefinition ElementsDefinition() {
    return {"ELEMENTS",
            {KeyField(), HiddenInteger("ID_PROJECT"), TextField("NOME", 255, "EL. NAME"),
             TextField("TYPE", 15, {}, {"Element", "Driver", "Null"}),
             Field("LEN", FieldKind::Float, "SIZE", "###,##0.###"), HiddenInteger("ID_TAPER"),
             Field("DISTANCE", FieldKind::Float, "OFFSET", "###,##0.###"),
             Field("HEIGHT", FieldKind::Float), Field("LK_TAPER", FieldKind::Lookup, "TAPER SCH.")},
            "ID",
            {"ID_PROJECT"}};
}

TableDefinition TaperDefinition() {
    return {"TAPER",
            {KeyField(), TextField("NOME", 255, "ELEMENT NAME"),
             TextField("UM", 5, {}, {"m,mm", "ft,in"})},
            "ID",
            {}};
}

TableDefinition TaperSizesDefinition() {
    return {"TAPER_SIZES",
            {HiddenInteger("ID_TAPER"), Field("ORDER", FieldKind::Integer),
             Field("DIAMETER", FieldKind::Float, {}, "##0.###"),
             Field("LENGTH", FieldKind::Float, {}, "###,##0.###")},
            "ID",
            {"ID_TAPER"}};
}

}  // namespace velkora
