// SPDX-License-Identifier: GPL-3.0-or-later
// Storing an optimized variant of a project in one transaction.
#include "ProjectVariant.h"

#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

#include "Schema.h"
#include "SchemaTable.h"
#include "StoreError.h"
#include "StoreSql.h"

namespace velkora {

using namespace schema;

namespace {

// The rows of table whose column equals value, each with its ID first.
QList<QVariantList> RowsWhere(const QSqlDatabase& db, const QString& table, const QString& column,
                              qint64 value) {
    QStringList names{QuotedName(db, kId)};
    for (const QString& name : ColumnsWithoutKey(table)) names << QuotedName(db, name);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = "SELECT " + names.join(", ") + " FROM " + QuotedName(db, table) +
                        " WHERE " + QuotedName(db, column) + " = ? ORDER BY " + QuotedName(db, kId);
    if (!query.prepare(sql))
        throw StoreError(QString("Could not read %1: %2").arg(table, query.lastError().text()));
    query.addBindValue(value);
    if (!query.exec())
        throw StoreError(QString("Could not read %1: %2").arg(table, query.lastError().text()));
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < names.size(); ++i) row << query.value(i);
        rows << row;
    }
    return rows;
}

const ElementPlace* PlaceOf(const QList<ElementPlace>& places, qint64 id) {
    for (const ElementPlace& place : places)
        if (place.id == id) return &place;
    return nullptr;
}

qint64 InsertVariant(const QSqlDatabase& db, qint64 projectId, const QString& name,
                     const QList<ElementPlace>& places) {
    const QList<QVariantList> projects = RowsWhere(db, kProjects, kId, projectId);
    const QList<QVariantList> elements = RowsWhere(db, kElements, kIdProject, projectId);
    const QString changed =
        QString("Project %1 changed while it was optimized; nothing was written").arg(projectId);
    if (projects.size() != 1 || elements.size() != places.size()) throw StoreError(changed);

    const QStringList projectColumns = ColumnsWithoutKey(kProjects);
    QVariantList project = projects.first().mid(1);
    project[projectColumns.indexOf(kNome)] = name;
    const QVariant newId = InsertRow(db, kProjects, projectColumns, project, kId,
                                     "Could not store the optimized project");

    const QStringList columns = ColumnsWithoutKey(kElements);
    for (const QVariantList& row : elements) {
        const ElementPlace* place = PlaceOf(places, row[0].toLongLong());
        if (!place) throw StoreError(changed);
        QVariantList element = row.mid(1);
        element[columns.indexOf(kIdProject)] = newId;
        element[columns.indexOf(kLen)] = place->len;
        element[columns.indexOf(kDistance)] = place->distance;
        InsertRow(db, kElements, columns, element, QString(),
                  "Could not store an element of the optimized project");
    }
    return newId.toLongLong();
}

}  // namespace

qint64 InsertProjectVariant(const QSqlDatabase& db, qint64 projectId, const QString& name,
                            const QList<ElementPlace>& places) {
    QSqlDatabase target = db;
    if (!target.transaction())
        throw StoreError("Could not write to the store: " + target.lastError().text());
    try {
        const qint64 id = InsertVariant(target, projectId, name, places);
        if (!target.commit())
            throw StoreError("Could not write to the store: " + target.lastError().text());
        return id;
    } catch (...) {
        target.rollback();
        throw;
    }
}

int MostProjectNameLength() {
    for (const SchemaColumn& column : ColumnsOf(schema::kProjects))
        if (QString(column.name) == schema::kNome) return column.size;
    throw std::logic_error("PROJECTS has no name column");
}

QString OptimizedName(const ProjectRow& project) {
    const QString suffix = " (optimized)";
    const QString base =
        project.nome.IsNull()
            ? QString("Project %1").arg(QString::fromStdString(project.id.ToText()))
            : QString::fromStdString(project.nome.ToText());
    return base.left(MostProjectNameLength() - suffix.size()) + suffix;
}

QList<ElementPlace> ElementPlacesOf(const std::vector<ElementRow>& elements) {
    QList<ElementPlace> places;
    for (const ElementRow& element : elements)
        places << ElementPlace{static_cast<qint64>(element.id.ToDouble()), element.len.ToDouble(),
                               element.distance.ToDouble()};
    return places;
}

}  // namespace velkora
