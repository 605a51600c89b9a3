// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreCopy.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <vector>

#include "Connection.h"
#include "ReadSnapshot.h"
#include "Schema.h"
#include "StoreError.h"
#include "StoreSql.h"
#include "TargetValue.h"

namespace velkora {

using namespace schema;

namespace {

struct Table {
    QStringList columns;  // the program's columns without the key ID
    std::vector<QVariantList> rows;
};

// A value as read for copying: text as its bytes, so that text which is
// not UTF-8 keeps them; empty text stays text, not null.
QVariant CopiedValue(const QSqlQuery& query, int column) {
    if (query.isNull(column)) return QVariant();
    const QVariant value = query.value(column);
    if (value.typeId() == QMetaType::QString) return value.toString().toUtf8();
    if (value.typeId() != QMetaType::QByteArray) return value;
    const QByteArray bytes = value.toByteArray();
    return bytes.isNull() ? QByteArray("", 0) : bytes;
}

// Every row of a table in the store's order; the key ID first where the
// table has one in the program's columns.
Table ReadTable(const QSqlDatabase& db, const QString& table, bool withKey) {
    Table result{ColumnsWithoutKey(table), {}};
    QStringList names;
    for (const QString& column : (withKey ? QStringList{kId} : QStringList{}) + result.columns)
        names << ExactTextColumn(db, QuotedName(db, column));
    const QString order = StoreOrderColumn(db, table);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = "SELECT " + names.join(", ") + " FROM " + QuotedName(db, table) +
                        (order.isEmpty() ? QString() : " ORDER BY " + order);
    if (!query.exec(sql))
        throw StoreError(
            QString("Could not read %1: %2").arg(table, DatabaseMessage(query.lastError())));
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < names.size(); ++i) row << CopiedValue(query, i);
        result.rows.push_back(row);
    }
    if (query.lastError().isValid())
        throw StoreError(
            QString("Could not read %1: %2").arg(table, DatabaseMessage(query.lastError())));
    return result;
}

struct Source {
    Table projects, elements, schedules, sections;
};

Source ReadSource(const QSqlDatabase& db) {
    // One read transaction, so the copy is of one state of the store.
    const ReadSnapshot snapshot(db);
    return {ReadTable(db, kProjects, true), ReadTable(db, kElements, true),
            ReadTable(db, kTaper, true), ReadTable(db, kTaperSizes, false)};
}

std::optional<qint64> KeyOf(const QVariant& value) {
    bool ok = false;
    const qint64 key = value.toLongLong(&ok);
    if (value.isNull() || !ok) return std::nullopt;
    return key;
}

// The value of `column` in a row read with its key first.
QVariant& Field(const Table& table, QVariantList& row, const char* column) {
    return row[1 + table.columns.indexOf(QLatin1String(column))];
}

class Copier {
  public:
    Copier(const QSqlDatabase& to, Source source) : to_(to), source_(std::move(source)) {}

    CopyCounts Run(const std::optional<QList<qint64>>& projectIds) {
        const QSet<qint64> projects = ChosenProjects(projectIds);
        QSet<qint64> schedules;
        for (QVariantList& element : source_.elements.rows)
            if (projects.contains(KeyOf(Field(source_.elements, element, kIdProject)).value_or(-1)))
                if (auto schedule = KeyOf(Field(source_.elements, element, kIdTaper)))
                    schedules.insert(*schedule);
        const bool everySchedule = !projectIds.has_value();
        for (const QVariantList& row : source_.schedules.rows)
            if (everySchedule || schedules.contains(row[0].toLongLong())) CopySchedule(row);
        for (const QVariantList& row : source_.projects.rows)
            if (projects.contains(row[0].toLongLong())) CopyProject(row);
        return counts_;
    }

  private:
    QSet<qint64> ChosenProjects(const std::optional<QList<qint64>>& projectIds) const {
        QSet<qint64> stored;
        for (const QVariantList& row : source_.projects.rows)
            if (auto key = KeyOf(row[0])) stored.insert(*key);
        if (!projectIds) return stored;
        for (qint64 id : *projectIds)
            if (!stored.contains(id))
                throw StoreError(QString("The source store has no project with ID %1").arg(id));
        return QSet<qint64>(projectIds->begin(), projectIds->end());
    }

    // Inserts a row whose every value the target holds exactly; `row` names
    // the source's row for a refusal.
    QVariant Insert(const char* table, const Table& source, const QVariantList& values, bool key,
                    const QString& row) {
        const QString name = QLatin1String(table);
        if (!targetColumns_.contains(name))
            targetColumns_.insert(name, to_.record(QuotedName(to_, name)));
        const QSqlRecord& columns = targetColumns_[name];
        QVariantList fitted;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QString& column = source.columns[i];
            const FittedValue value =
                FitValue(values[i], columns.field(column), HasTypedColumns(to_));
            if (!value.problem.isEmpty())
                throw StoreError(QString("Nothing was copied: the target store cannot hold %1 of "
                                         "%2 %3, %4: %5")
                                     .arg(column, name, row, ShownValue(values[i]), value.problem));
            fitted << value.value;
        }
        return InsertRow(to_, name, source.columns, fitted, key ? QString(kId) : QString(),
                         QString("Could not copy a row of %1").arg(name));
    }

    static QString RowWithId(const QVariantList& row) { return "row with ID " + row[0].toString(); }

    void CopySchedule(const QVariantList& row) {
        const qint64 oldKey = row[0].toLongLong();
        const QVariant newKey = Insert(kTaper, source_.schedules, row.mid(1), true, RowWithId(row));
        newSchedules_.insert(oldKey, newKey);
        ++counts_.schedules;
        const int link = source_.sections.columns.indexOf(kIdTaper);
        for (QVariantList section : source_.sections.rows) {
            if (KeyOf(section[link]) != oldKey) continue;
            section[link] = newKey;
            const QString order = ShownValue(section[source_.sections.columns.indexOf(kOrder)]);
            Insert(kTaperSizes, source_.sections, section, false,
                   QString("the section with ORDER %1 of the schedule with ID %2")
                       .arg(order.isEmpty() ? "empty" : order)
                       .arg(oldKey));
            ++counts_.sections;
        }
    }

    void CopyProject(const QVariantList& row) {
        const qint64 oldKey = row[0].toLongLong();
        const QVariant newKey =
            Insert(kProjects, source_.projects, row.mid(1), true, RowWithId(row));
        ++counts_.projects;
        for (QVariantList element : source_.elements.rows) {
            if (KeyOf(Field(source_.elements, element, kIdProject)) != oldKey) continue;
            Field(source_.elements, element, kIdProject) = newKey;
            QVariant& schedule = Field(source_.elements, element, kIdTaper);
            const std::optional<qint64> oldSchedule = KeyOf(schedule);
            // A schedule missing in the source would name an unrelated one here.
            schedule = oldSchedule && newSchedules_.contains(*oldSchedule)
                           ? newSchedules_.value(*oldSchedule)
                           : QVariant();
            Insert(kElements, source_.elements, element.mid(1), false, RowWithId(element));
            ++counts_.elements;
        }
    }

    QSqlDatabase to_;
    Source source_;
    QHash<qint64, QVariant> newSchedules_;
    QHash<QString, QSqlRecord> targetColumns_;
    CopyCounts counts_;
};

}  // namespace

CopyCounts CopyDesigns(const QSqlDatabase& from, const QSqlDatabase& to,
                       const std::optional<QList<qint64>>& projectIds) {
    const StoreIdentity sourceStore = IdentityOf(from);
    if (sourceStore.key == IdentityOf(to).key)
        throw StoreError(QString("The target is the source store itself (%1); copying into it "
                                 "would double every design, so nothing was copied")
                             .arg(sourceStore.shown));
    Source source = ReadSource(from);
    QSqlDatabase target = to;
    if (!target.transaction())
        throw StoreError("Could not write to the target store: " + DatabaseMessage(target));
    try {
        const CopyCounts counts = Copier(target, std::move(source)).Run(projectIds);
        if (!target.commit())
            throw StoreError("Could not write to the target store: " + DatabaseMessage(target));
        return counts;
    } catch (...) {
        target.rollback();
        throw;
    }
}

}  // namespace velkora
