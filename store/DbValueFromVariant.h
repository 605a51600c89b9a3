// SPDX-License-Identifier: GPL-3.0-or-later
// The one conversion of a database value, as Qt Sql reads it, into the plain
// value that generation works with.
#pragma once

#include <QVariant>

#include "DbValue.h"

namespace velkora {

// A null stays null; whole numbers become Integer, floating numbers Real,
// text and bytes Text (UTF-8). Any other kind becomes its text form.
DbValue DbValueFromVariant(const QVariant& value);

// The other way, for binding a value as a query parameter.
QVariant VariantFromDbValue(const DbValue& value);

}  // namespace velkora
