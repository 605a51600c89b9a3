// SPDX-License-Identifier: GPL-3.0-or-later
// What type a value is stored as, how values read from the store compare, and
// which type a field's value takes.
#pragma once

#include <QVariant>

#include "BoundDataset.h"

namespace velkora {

enum class StoredType { Null, Whole, Real, Text };

// The one decision of what a value counts as: booleans and every integer type
// are whole numbers, except unsigned ones beyond the 64-bit signed range,
// which are real like float and double; a null or invalid value is null; any
// other type (text, bytes, dates) is text.
StoredType StoredTypeOf(const QVariant& value);

// Keys and links compare as whole numbers whatever type the driver gave them.
bool SameValue(const QVariant& a, const QVariant& b);

// The value a field of this kind holds for a value as the driver read it:
// whole numbers become qlonglong in Integer fields, numbers double in Float
// fields, anything text in Text fields; other values stay as read.
QVariant Normalized(FieldKind kind, const QVariant& value);

}  // namespace velkora
