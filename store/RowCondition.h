// SPDX-License-Identifier: GPL-3.0-or-later
// The WHERE condition by which a post or delete finds the row as this copy
// read it, built through the driver so that any SQL database takes it.
#pragma once

#include <QSqlDriver>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

namespace velkora {

class RowCondition {
  public:
    explicit RowCondition(const QSqlDriver& driver) : driver_(driver) {}

    // The column holds this value: "column = ?", or "column IS NULL" for a
    // null, so that a null read compares as null.
    void Matches(const QString& column, const QVariant& value);
    // The same for a column named by the database itself (no escaping).
    void MatchesRaw(const QString& expression, const QVariant& value);

    QString Text() const { return terms_.join(QStringLiteral(" AND ")); }
    // Binds the values in the order the terms were added.
    void Bind(QSqlQuery& query) const;

  private:
    const QSqlDriver& driver_;
    QStringList terms_;
    QVariantList values_;
};

}  // namespace velkora
