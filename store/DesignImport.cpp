// SPDX-License-Identifier: GPL-3.0-or-later
// Writing an imported design: reuse of identical schedules, then new rows.
#include "DesignImport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <map>
#include <vector>

#include "SchemaTable.h"
#include "StoreError.h"
#include "StoreSql.h"

namespace velkora {

using namespace schema;

namespace {

const QString kWhat = QStringLiteral("Could not import the design");

using StoredSchedules = std::map<qint64, std::vector<ImportedSection>>;

// Every stored schedule's sections in ascending ORDER.
StoredSchedules ReadSchedules(const QSqlDatabase& db) {
    const QString link = QuotedName(db, kIdTaper);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = "SELECT S." + link + ", S." + QuotedName(db, kDiameter) + ", S." +
                        QuotedName(db, kLength) + " FROM " + QuotedName(db, kTaperSizes) +
                        " S JOIN " + QuotedName(db, kTaper) + " T ON T." + QuotedName(db, kId) +
                        " = S." + link + " ORDER BY S." + link + ", S." + QuotedName(db, kOrder);
    if (!query.exec(sql)) throw StoreError(kWhat + ": " + query.lastError().text());
    StoredSchedules schedules;
    while (query.next()) {
        const bool known = !query.value(1).isNull() && !query.value(2).isNull();
        schedules[query.value(0).toLongLong()].push_back(
            {known ? query.value(1).toDouble() : NAN, known ? query.value(2).toDouble() : NAN});
    }
    if (query.lastError().isValid()) throw StoreError(kWhat + ": " + query.lastError().text());
    return schedules;
}

bool SameSections(const std::vector<ImportedSection>& a, const std::vector<ImportedSection>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i].diameterMm - b[i].diameterMm) <= 1e-9) ||
            !(std::fabs(a[i].lengthM - b[i].lengthM) <= 1e-9))
            return false;
    return true;
}

QVariant Insert(const QSqlDatabase& db, const char* table, const QStringList& columns,
                const QVariantList& values, bool key = true) {
    return InsertRow(db, QLatin1String(table), columns, values, key ? QString(kId) : QString(),
                     kWhat);
}

QVariant ScheduleKey(const QSqlDatabase& db, const ImportedSchedule& schedule,
                     const StoredSchedules& stored) {
    for (const auto& [id, sections] : stored)
        if (SameSections(sections, schedule.sections)) return id;
    const QVariant key = Insert(db, kTaper, {kNome, kUm},
                                {QString::fromStdString(schedule.nome), QStringLiteral("m,mm")});
    int order = 1;
    for (const ImportedSection& section : schedule.sections)
        Insert(db, kTaperSizes, {kIdTaper, kOrder, kDiameter, kLength},
               {key, order++, section.diameterMm, section.lengthM}, false);
    return key;
}

qint64 AddRows(const QSqlDatabase& db, const ImportedDesign& design) {
    const StoredSchedules stored = ReadSchedules(db);
    QVariantList schedules;
    for (const ImportedSchedule& schedule : design.schedules)
        schedules << ScheduleKey(db, schedule, stored);
    const QVariant source = design.sourceWire.empty()
                                ? QVariant()
                                : QVariant(QString::fromStdString(design.sourceWire));
    const QVariant project =
        Insert(db, kProjects, {kNome, kF0, kSourceWire, kHeight},
               {QString::fromStdString(design.nome), design.f0, source, design.height});
    for (const ImportedElement& element : design.elements)
        Insert(db, kElements, {kIdProject, kNome, kType, kLen, kIdTaper, kDistance, kHeight},
               {project, QString::fromStdString(element.nome), QString::fromStdString(element.type),
                element.len, schedules.at(static_cast<qsizetype>(element.schedule)),
                element.distance, element.height},
               false);
    return project.toLongLong();
}

}  // namespace

qint64 AddImportedDesign(QSqlDatabase& db, const ImportedDesign& design) {
    if (!db.transaction()) throw StoreError(kWhat + ": " + db.lastError().text());
    try {
        const qint64 project = AddRows(db, design);
        if (!db.commit()) throw StoreError(kWhat + ": " + db.lastError().text());
        return project;
    } catch (...) {
        db.rollback();
        throw;
    }
}

}  // namespace velkora
