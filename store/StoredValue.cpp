// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredValue.h"

#include <limits>

namespace velkora {

StoredType StoredTypeOf(const QVariant& value) {
    if (value.isNull()) return StoredType::Null;
    switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return StoredType::Whole;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max())
                       ? StoredType::Real
                       : StoredType::Whole;
        case QMetaType::Float:
        case QMetaType::Double:
            return StoredType::Real;
        default:
            return StoredType::Text;
    }
}

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
    const StoredType type = StoredTypeOf(value);
    switch (kind) {
        case FieldKind::Integer:
            return type == StoredType::Whole ? QVariant(value.toLongLong()) : value;
        case FieldKind::Float:
            return type == StoredType::Whole || type == StoredType::Real
                       ? QVariant(value.toDouble())
                       : value;
        case FieldKind::Text:
        case FieldKind::Lookup:
            return value.toString();
    }
    return value;
}

}  // namespace velkora
