// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a value read from one store fits a column of another exactly.
#pragma once

#include <QSqlField>
#include <QString>
#include <QVariant>

namespace velkora {

struct FittedValue {
    QVariant value;   // to bind in the target
    QString problem;  // why the column cannot hold the value; empty when it can
};

// Text comes as its bytes (QByteArray). On a target whose columns are typed,
// a number must fit its column (whole and in range where the column holds
// whole numbers) and text must be UTF-8 without NUL characters and no longer
// than the column; text that is a number fits a number column as that number.
FittedValue FitValue(const QVariant& value, const QSqlField& column, bool typedColumns);

// A value as messages show it: text in quotes, each byte that is not UTF-8
// as \xNN.
QString ShownValue(const QVariant& value);

}  // namespace velkora
