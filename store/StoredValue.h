// SPDX-License-Identifier: GPL-3.0-or-later
// How values read from the store compare and which type a field's value takes.
#pragma once

#include <QVariant>

#include "BoundDataset.h"

namespace velkora {

// Keys and links compare as whole numbers whatever type the driver gave them.
bool SameValue(const QVariant& a, const QVariant& b);

// The value a field of this kind holds for a value as the driver read it.
QVariant Normalized(FieldKind kind, const QVariant& value);

}  // namespace velkora
