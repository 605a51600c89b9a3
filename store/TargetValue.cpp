// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a value read from one store fits a column of another exactly.
#include "TargetValue.h"

#include <QStringDecoder>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "Utf8.h"

namespace velkora {

namespace {

bool HoldsWholeNumbers(const QSqlField& column) {
    switch (column.metaType().id()) {
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return true;
        default:
            return false;
    }
}

bool HoldsNumbers(const QSqlField& column) {
    return HoldsWholeNumbers(column) || column.metaType().id() == QMetaType::Double;
}

std::optional<QString> StrictUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

// A number as the column holds it; the problem when it cannot.
FittedValue FitNumber(const QVariant& value, const QSqlField& column) {
    if (value.typeId() == QMetaType::QByteArray) {
        bool ok = false;
        const double number = value.toByteArray().trimmed().toDouble(&ok);
        if (!ok) return {{}, "it is text, and the target's column holds numbers only"};
        return FitNumber(QVariant(number), column);
    }
    if (!HoldsWholeNumbers(column)) return {value, {}};
    qint64 whole = value.toLongLong();
    if (value.typeId() == QMetaType::Double) {
        const double number = value.toDouble();
        if (number != std::trunc(number))
            return {{},
                    "it is not a whole number, and the target's column holds whole numbers only"};
        if (std::fabs(number) > 9.2e18) return {{}, "it is too large for the target's column"};
        whole = qint64(number);
    }
    const bool narrow = column.metaType().id() != QMetaType::LongLong;
    if (narrow &&
        (whole > std::numeric_limits<qint32>::max() || whole < std::numeric_limits<qint32>::min()))
        return {{}, "it is too large for the target's column"};
    return {QVariant(whole), {}};
}

FittedValue FitText(const QByteArray& bytes, const QSqlField& column) {
    const std::optional<QString> text = StrictUtf8(bytes);
    if (!text) return {{}, "it is not UTF-8 text, the only text the target holds"};
    if (text->contains(QChar(u'\0'))) return {{}, "the target's text cannot hold a NUL character"};
    if (column.length() > 0 && text->toUcs4().size() > column.length())
        return {{},
                QString("it is longer than the %1 characters the target's column holds")
                    .arg(column.length())};
    return {*text, {}};
}

}  // namespace

FittedValue FitValue(const QVariant& value, const QSqlField& column, bool typedColumns) {
    if (!typedColumns || value.isNull()) return {value, {}};
    if (HoldsNumbers(column)) return FitNumber(value, column);
    if (value.typeId() == QMetaType::QByteArray) return FitText(value.toByteArray(), column);
    return {value, {}};
}

QString ShownValue(const QVariant& value) {
    if (value.typeId() != QMetaType::QByteArray) return value.toString();
    const QByteArray keep = value.toByteArray();
    std::string_view bytes(keep.constData(), std::size_t(keep.size()));
    QString shown = "\"";
    while (!bytes.empty()) {
        const std::optional<Utf8Char> next = FirstUtf8Char(bytes);
        if (!next) {
            shown += "\\x" + QString::number(static_cast<unsigned char>(bytes[0]), 16)
                                 .rightJustified(2, '0')
                                 .toUpper();
            bytes.remove_prefix(1);
            continue;
        }
        shown += QString::fromUtf8(bytes.data(), qsizetype(next->length));
        bytes.remove_prefix(next->length);
    }
    return shown + "\"";
}

}  // namespace velkora
