// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowCondition.h"

namespace velkora {

void RowCondition::Matches(const QString& column, const QVariant& value) {
    MatchesRaw(driver_.escapeIdentifier(column, QSqlDriver::FieldName), value);
}

void RowCondition::MatchesRaw(const QString& expression, const QVariant& value) {
    if (value.isNull()) {
        terms_ << expression + QStringLiteral(" IS NULL");
        return;
    }
    terms_ << expression + QStringLiteral(" = ?");
    values_ << value;
}

void RowCondition::Bind(QSqlQuery& query) const {
    for (const QVariant& value : values_) query.addBindValue(value);
}

}  // namespace velkora
