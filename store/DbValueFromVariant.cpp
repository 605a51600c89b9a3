// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbValueFromVariant.h"

#include <limits>

namespace velkora {

DbValue DbValueFromVariant(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return DbValue();
    switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::LongLong:
            return DbValue::Integer(value.toLongLong());
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const qulonglong whole = value.toULongLong();
            if (whole > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
                return DbValue::Real(static_cast<double>(whole));
            return DbValue::Integer(static_cast<qint64>(whole));
        }
        case QMetaType::Double:
        case QMetaType::Float:
            return DbValue::Real(value.toDouble());
        case QMetaType::QByteArray:
            return DbValue::Text(value.toByteArray().toStdString());
        default:
            return DbValue::Text(value.toString().toStdString());
    }
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
