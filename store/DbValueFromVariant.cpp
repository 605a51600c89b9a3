// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbValueFromVariant.h"

#include "StoredValue.h"

namespace velkora {

DbValue DbValueFromVariant(const QVariant& value) {
    switch (StoredTypeOf(value)) {
        case StoredType::Null:
            return DbValue();
        case StoredType::Whole:
            return DbValue::Integer(value.toLongLong());
        case StoredType::Real:
            return DbValue::Real(value.toDouble());
        case StoredType::Text:
            break;
    }
    if (value.typeId() == QMetaType::QByteArray)
        return DbValue::Text(value.toByteArray().toStdString());
    return DbValue::Text(value.toString().toStdString());
}

QVariant VariantFromDbValue(const DbValue& value) {
    if (value.IsNull()) return QVariant();
    if (value.IsInteger())
        return QVariant(
            QString::fromStdString(value.ToText()).toLongLong());  // exact, unlike ToDouble
    if (value.IsReal()) return QVariant(value.ToDouble());
    return QVariant(QString::fromStdString(value.ToText()));
}

}  // namespace velkora
