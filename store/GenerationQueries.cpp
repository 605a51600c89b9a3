// SPDX-License-Identifier: GPL-3.0-or-later
#include "GenerationQueries.h"

#include <QSqlError>
#include <QSqlRecord>

#include "Connection.h"
#include "DbValueFromVariant.h"
#include "SchemaTable.h"
#include "StoreError.h"
#include "StoreSql.h"

namespace velkora {

using namespace schema;

namespace {

void Prepare(QSqlQuery& query, const QString& text, const char* what) {
    query.setForwardOnly(true);
    if (!query.prepare(text))
        throw StoreError(
            QString("The database refused the %1 query: %2").arg(what, query.lastError().text()));
}

void Run(QSqlQuery& query, const char* what) {
    if (!query.exec()) {
        const QString message = query.lastError().text();
        query.finish();
        throw StoreError(QString("The %1 query failed: %2").arg(what, message));
    }
}

// Column positions of one result, looked up by name.
class Columns {
  public:
    Columns(const QSqlQuery& query, const char* table) : record_(query.record()), table_(table) {}
    int operator[](const char* name) const {
        const int index = record_.indexOf(QLatin1String(name));
        if (index < 0) throw StoreError(QString("The table %1 has no column %2").arg(table_, name));
        return index;
    }

  private:
    QSqlRecord record_;
    QString table_;
};

DbValue ValueAt(const QSqlQuery& query, int index) {
    return query.isNull(index) ? DbValue() : DbValueFromVariant(query.value(index));
}

QString Quoted(const QSqlDatabase& db, const char* name) {
    return QuotedName(db, QLatin1String(name));
}

// ", T.column" after a sort key, so ties come out in the store's order.
QString TieBreaker(const QSqlDatabase& db, const char* table, const char* alias) {
    const QString column = StoreOrderColumn(db, QLatin1String(table));
    return column.isEmpty() ? QString() : QString(", %1.%2").arg(QLatin1String(alias), column);
}

}  // namespace

QString SqlModelSource::QCalcText(const QSqlDatabase& db) {
    // Ties in DISTANCE come out in ascending ID.
    return QString("SELECT *\r\nFROM %1 E\r\nWHERE E.%2 = :id_project\r\nORDER BY E.%3, E.%4")
        .arg(Quoted(db, kElements), Quoted(db, kIdProject), Quoted(db, kDistance), Quoted(db, kId));
}

QString SqlModelSource::QTaperText(const QSqlDatabase& db) {
    // Ties in ORDER come out in the order they were stored.
    return QString("SELECT *\r\nFROM %1 T\r\nWHERE T.%2 = :id_taper\r\nORDER BY T.%3%4")
        .arg(Quoted(db, kTaperSizes), Quoted(db, kIdTaper), Quoted(db, kOrder),
             TieBreaker(db, kTaperSizes, "T"));
}

SqlModelSource::SqlModelSource(const QSqlDatabase& db) : qCalc_(db), qTaper_(db) {
    Prepare(qCalc_, QCalcText(db), "element (QCalc)");
    Prepare(qTaper_, QTaperText(db), "taper (QTaper)");
}

std::vector<ElementRow> SqlModelSource::ElementsOfProject(const DbValue& idProject) {
    std::vector<ElementRow> rows;
    qCalc_.bindValue(":id_project", VariantFromDbValue(idProject));
    Run(qCalc_, "element (QCalc)");
    const Columns column(qCalc_, kElements);
    const int id = column[kId], idProjectColumn = column[kIdProject], nome = column[kNome],
              type = column[kType], len = column[kLen], idTaper = column[kIdTaper],
              distance = column[kDistance], height = column[kHeight];
    while (qCalc_.next()) {
        rows.push_back({ValueAt(qCalc_, id), ValueAt(qCalc_, idProjectColumn),
                        ValueAt(qCalc_, nome), ValueAt(qCalc_, type), ValueAt(qCalc_, len),
                        ValueAt(qCalc_, idTaper), ValueAt(qCalc_, distance),
                        ValueAt(qCalc_, height)});
    }
    const QSqlError error = qCalc_.lastError();
    qCalc_.finish();  // releases the read lock at once
    if (error.isValid()) throw StoreError("The element (QCalc) query failed: " + error.text());
    return rows;
}

std::vector<TaperSection> SqlModelSource::SectionsOfSchedule(const DbValue& idTaper) {
    std::vector<TaperSection> sections;
    qTaper_.bindValue(":id_taper", VariantFromDbValue(idTaper));
    Run(qTaper_, "taper (QTaper)");
    const Columns column(qTaper_, kTaperSizes);
    const int idTaperColumn = column[kIdTaper], order = column[kOrder],
              diameter = column[kDiameter], length = column[kLength];
    while (qTaper_.next()) {
        sections.push_back({ValueAt(qTaper_, idTaperColumn), ValueAt(qTaper_, order),
                            ValueAt(qTaper_, diameter), ValueAt(qTaper_, length)});
    }
    const QSqlError error = qTaper_.lastError();
    qTaper_.finish();
    if (error.isValid()) throw StoreError("The taper (QTaper) query failed: " + error.text());
    return sections;
}

namespace {

ProjectRow ProjectFromQuery(const QSqlQuery& query) {
    const Columns column(query, kProjects);
    return ProjectRowFrom([&](const char* name) { return ValueAt(query, column[name]); });
}

std::optional<ProjectRow> FirstRowOf(QSqlQuery& query) {
    if (!query.exec()) throw StoreError("Could not read the projects: " + query.lastError().text());
    std::optional<ProjectRow> row;
    if (query.next())
        row = ProjectFromQuery(query);
    else if (query.lastError().isValid())
        throw StoreError("Could not read the projects: " + query.lastError().text());
    return row;
}

// The projects' columns, from PROJECTS, with the store's order.
struct ProjectsSql {
    QString select;
    QString order;
};

ProjectsSql ProjectsSqlOf(const QSqlDatabase& db) {
    QStringList columns;
    for (const SchemaColumn& column : ColumnsOf(kProjects))
        if (IsStored(column)) columns << Quoted(db, column.name);
    const QString storeOrder = StoreOrderColumn(db, kProjects);
    return {"SELECT " + columns.join(", ") + " FROM " + Quoted(db, kProjects) + " ",
            storeOrder.isEmpty() ? QString() : " ORDER BY " + storeOrder};
}

}  // namespace

ProjectRow ProjectRowFrom(const std::function<DbValue(const char* column)>& valueOf) {
    return {valueOf(kId), valueOf(kNome), valueOf(kF0), valueOf(kSourceWire), valueOf(kHeight)};
}

std::optional<ProjectRow> ReadProjectRow(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const ProjectsSql sql = ProjectsSqlOf(db);
    if (!query.prepare(sql.select + "WHERE " + Quoted(db, kId) + " = :id" + sql.order + " LIMIT 1"))
        throw StoreError("Could not read the projects: " + query.lastError().text());
    query.bindValue(":id", QVariant(static_cast<qlonglong>(id)));
    return FirstRowOf(query);
}

ProjectRow ReadFirstProjectRow(const QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const ProjectsSql sql = ProjectsSqlOf(db);
    if (!query.prepare(sql.select + sql.order + " LIMIT 1"))
        throw StoreError("Could not read the projects: " + query.lastError().text());
    return FirstRowOf(query).value_or(ProjectRow{});
}

QList<ProjectSummary> ListProjects(const QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString storeOrder = StoreOrderColumn(db, kProjects);
    if (!query.exec(QString("SELECT P.%1, P.%2, (SELECT COUNT(*) FROM %3 E WHERE E.%4 = P.%1)"
                            " FROM %5 P%6")
                        .arg(Quoted(db, kId), Quoted(db, kNome), Quoted(db, kElements),
                             Quoted(db, kIdProject), Quoted(db, kProjects),
                             storeOrder.isEmpty() ? QString() : " ORDER BY P." + storeOrder)))
        throw StoreError("Could not read the projects: " + query.lastError().text());
    QList<ProjectSummary> projects;
    while (query.next())
        projects.append({query.value(0).toLongLong(),
                         query.isNull(1) ? QString() : query.value(1).toString(),
                         query.value(2).toLongLong()});
    if (query.lastError().isValid())
        throw StoreError("Could not read the projects: " + query.lastError().text());
    return projects;
}

}  // namespace velkora
