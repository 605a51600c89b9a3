// SPDX-License-Identifier: GPL-3.0-or-later
// The two generation queries, QCalc and QTaper, and the project rows that
// generation starts from, on a Qt Sql connection.
#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>

#include "ModelSource.h"

namespace velkora {

// QCalc and QTaper, prepared once and run again for every project and element.
// The source must not outlive its connection.
class SqlModelSource : public ModelSource {
  public:
    // Throws StoreError when the database refuses either statement.
    explicit SqlModelSource(const QSqlDatabase& db);

    std::vector<ElementRow> ElementsOfProject(const DbValue& idProject) override;
    std::vector<TaperSection> SectionsOfSchedule(const DbValue& idTaper) override;

    // The queries' texts, with names quoted by the connection's driver.
    static QString QCalcText(const QSqlDatabase& db);
    static QString QTaperText(const QSqlDatabase& db);

  private:
    QSqlQuery qCalc_;
    QSqlQuery qTaper_;
};

// The writers' fields of a PROJECTS row, each value taken by its column's name.
ProjectRow ProjectRowFrom(const std::function<DbValue(const char* column)>& valueOf);

// The PROJECTS row with this ID; none when there is no such row.
std::optional<ProjectRow> ReadProjectRow(const QSqlDatabase& db, qint64 id);
// The first PROJECTS row in the store's order (the order of storing), which is
// the row the window shows first; all null when the table is empty.
ProjectRow ReadFirstProjectRow(const QSqlDatabase& db);

struct ProjectSummary {
    qint64 id = 0;
    QString nome;  // null when never entered
    qint64 elementCount = 0;
};

// Every project in the store's order with its number of elements.
QList<ProjectSummary> ListProjects(const QSqlDatabase& db);

}  // namespace velkora
