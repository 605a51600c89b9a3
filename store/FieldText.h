// SPDX-License-Identifier: GPL-3.0-or-later
// Text of a field's value and the value of a field's text: what the grids
// show and what they write back, under given regional marks.
#pragma once

#include <QString>
#include <QVariant>
#include <string_view>

#include "BoundDataset.h"
#include "RegionalMarks.h"

namespace velkora {

// The marks and NumberPattern's text are 8-bit characters of the Windows-1252
// code page (a superset of Latin-1); this turns them into Unicode.
QString FromWindows1252(std::string_view text);

// The cell text of a value: NumberPattern of the field's pattern, the general
// form for a Float field without one, plain digits for an Integer field without
// one, the text itself for Text fields, empty for no value. A stored value of
// the wrong kind (text in a number column) is shown as it is.
QString FieldDisplayText(const FieldInfo& field, const QVariant& value, const RegionalMarks& marks);

// The value of a cell's text for the field: null for empty number text, ""
// for empty text, qlonglong for Integer fields, double for Float fields.
// Number text takes an optional sign, digits, and for Float fields the
// decimal separator and an exponent; the thousands separator only where the
// display puts it (between groups of three digits counted from the decimal
// separator), and only in fields whose pattern groups thousands.
// Throws Failure with "'%s' is not a valid floating point value for field
// '%s'" or "'%s' is not a valid integer value for field '%s'".
QVariant ParseFieldText(const FieldInfo& field, const QString& text, const RegionalMarks& marks);

// The key filter of number cells: digits, "+", "-", and for Float fields "E",
// "e" and the decimal separator; control characters pass. Other kinds take any key.
bool FieldAcceptsKey(const FieldInfo& field, QChar key, const RegionalMarks& marks);

}  // namespace velkora
