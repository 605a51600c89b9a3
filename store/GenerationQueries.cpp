#include "GenerationQueries.h"

#include <QSqlError>
#include <QSqlRecord>

#include "DbValueFromVariant.h"
#include "StoreError.h"

namespace velkora {

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

}  // namespace

const QString& SqlModelSource::QCalcText() {
    // Ties in DISTANCE come out in ascending ID.
    static const QString text = QStringLiteral(
        "SELECT *\r\nFROM ELEMENTS E\r\nWHERE E.ID_PROJECT = :id_project\r\nORDER BY E.DISTANCE, "
        "E.ID");
    return text;
}

const QString& SqlModelSource::QTaperText() {
    // "ORDER" is a keyword; ties in it come out in the order they were stored.
    static const QString text = QStringLiteral(
        "SELECT *\r\nFROM TAPER_SIZES T\r\nWHERE T.ID_TAPER = :id_taper\r\nORDER BY T.\"ORDER\", "
        "T.rowid");
    return text;
}

SqlModelSource::SqlModelSource(const QSqlDatabase& db) : qCalc_(db), qTaper_(db) {
    Prepare(qCalc_, QCalcText(), "element (QCalc)");
    Prepare(qTaper_, QTaperText(), "taper (QTaper)");
}

std::vector<ElementRow> SqlModelSource::ElementsOfProject(const DbValue& idProject) {
    std::vector<ElementRow> rows;
    qCalc_.bindValue(":id_project", VariantFromDbValue(idProject));
    Run(qCalc_, "element (QCalc)");
    const Columns column(qCalc_, "ELEMENTS");
    const int id = column["ID"], idProjectColumn = column["ID_PROJECT"], nome = column["NOME"],
              type = column["TYPE"], len = column["LEN"], idTaper = column["ID_TAPER"],
              distance = column["DISTANCE"], height = column["HEIGHT"];
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
    const Columns column(qTaper_, "TAPER_SIZES");
    const int idTaperColumn = column["ID_TAPER"], order = column["ORDER"],
              diameter = column["DIAMETER"], length = column["LENGTH"];
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
    return {ValueAt(query, 0), ValueAt(query, 1), ValueAt(query, 2), ValueAt(query, 3),
            ValueAt(query, 4)};
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

const char* const kProjectColumns = "SELECT ID, NOME, F0, SOURCE_WIRE, HEIGHT FROM PROJECTS ";

}  // namespace

std::optional<ProjectRow> ReadProjectRow(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QLatin1String(kProjectColumns) + "WHERE ID = :id ORDER BY rowid LIMIT 1"))
        throw StoreError("Could not read the projects: " + query.lastError().text());
    query.bindValue(":id", QVariant(static_cast<qlonglong>(id)));
    return FirstRowOf(query);
}

ProjectRow ReadFirstProjectRow(const QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QLatin1String(kProjectColumns) + "ORDER BY rowid LIMIT 1"))
        throw StoreError("Could not read the projects: " + query.lastError().text());
    return FirstRowOf(query).value_or(ProjectRow{});
}

QList<ProjectSummary> ListProjects(const QSqlDatabase& db) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(
            "SELECT P.ID, P.NOME, (SELECT COUNT(*) FROM ELEMENTS E WHERE E.ID_PROJECT = P.ID)"
            " FROM PROJECTS P ORDER BY P.rowid"))
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
