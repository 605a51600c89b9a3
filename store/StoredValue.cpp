// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredValue.h"

namespace velkora {

bool SameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    bool okA = false;
    bool okB = false;
    const qlonglong x = a.toLongLong(&okA);
    const qlonglong y = b.toLongLong(&okB);
    if (okA && okB) return x == y;
    return a == b;
}

QVariant Normalized(FieldKind kind, const QVariant& value) {
    const int type = value.typeId();
    const bool integral = type == QMetaType::LongLong || type == QMetaType::Int ||
                          type == QMetaType::ULongLong || type == QMetaType::UInt;
    switch (kind) {
        case FieldKind::Integer:
            return integral ? QVariant(value.toLongLong()) : value;
        case FieldKind::Float:
            return integral || type == QMetaType::Double ? QVariant(value.toDouble()) : value;
        case FieldKind::Text:
        case FieldKind::Lookup:
            return value.toString();
    }
    return value;
}

}  // namespace velkora
