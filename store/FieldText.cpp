// SPDX-License-Identifier: GPL-3.0-or-later
#include "FieldText.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "Failure.h"
#include "NumberPattern.h"
#include "StoredValue.h"

namespace velkora {
namespace {

bool IsIntegral(const QVariant& value) { return StoredTypeOf(value) == StoredType::Whole; }

bool IsNumeric(const QVariant& value) {
    const StoredType type = StoredTypeOf(value);
    return type == StoredType::Whole || type == StoredType::Real;
}

QString NumberText(const FieldInfo& field, const QVariant& value, const RegionalMarks& marks) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) return value.toString();
    if (!field.pattern.isEmpty())
        return FromWindows1252(NumberPattern(field.pattern.toStdString(), number, marks));
    if (field.kind == FieldKind::Integer && IsIntegral(value))
        return QString::number(value.toLongLong());
    return FromWindows1252(FloatFieldText(number, marks));
}

[[noreturn]] void Refuse(const FieldInfo& field, const QString& text) {
    const QString message =
        field.kind == FieldKind::Float
            ? QStringLiteral("'%1' is not a valid floating point value for field '%2'")
            : QStringLiteral("'%1' is not a valid integer value for field '%2'");
    throw Failure(message.arg(text, field.DisplayName()).toStdString());
}

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Reads number text into plain ASCII ("-1234.5e3") for std::from_chars, or
// returns nothing when the text is not a number of the field's kind. A
// thousands separator counts only with at least one digit before it and a
// multiple of three integer digits after it, each place once.
std::optional<std::string> PlainNumber(const QString& text, bool floating, bool grouping,
                                       const QString& decimal, const QString& thousands) {
    const bool groupingAllowed = grouping && !thousands.isEmpty() && thousands != decimal;
    std::string plain;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') plain += '-';
        ++i;
    }
    std::string integerDigits;
    std::vector<std::size_t> separatorPlaces;  // integer digits before each separator
    while (i < n) {
        if (IsAsciiDigit(text[i])) {
            integerDigits += char(text[i].unicode());
            ++i;
        } else if (groupingAllowed && QStringView(text).mid(i).startsWith(thousands)) {
            separatorPlaces.push_back(integerDigits.size());
            i += thousands.size();
        } else {
            break;
        }
    }
    std::size_t previous = 0;
    for (std::size_t place : separatorPlaces) {
        const std::size_t after = integerDigits.size() - place;
        if (place == 0 || place == previous || after == 0 || after % 3 != 0) return std::nullopt;
        previous = place;
    }
    plain += integerDigits;
    std::string fractionDigits;
    if (floating && !decimal.isEmpty() && QStringView(text).mid(i).startsWith(decimal)) {
        i += decimal.size();
        while (i < n && IsAsciiDigit(text[i])) fractionDigits += char(text[i++].unicode());
        plain += '.' + fractionDigits;
    }
    if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;
    if (floating && i < n && (text[i] == u'e' || text[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) plain += char(text[i++].unicode());
        const qsizetype exponentStart = i;
        while (i < n && IsAsciiDigit(text[i])) plain += char(text[i++].unicode());
        if (i == exponentStart) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    return plain;
}

}  // namespace

QString FromWindows1252(std::string_view text) {
    QString result;
    result.reserve(qsizetype(text.size()));
    for (char c : text) {
        result += QChar(char16_t(Cp1252Char(static_cast<unsigned char>(c))));
    }
    return result;
}

QString FieldDisplayText(const FieldInfo& field, const QVariant& value,
                         const RegionalMarks& marks) {
    if (value.isNull()) return {};
    if (field.kind == FieldKind::Integer || field.kind == FieldKind::Float) {
        if (!IsNumeric(value)) return value.toString();
        return NumberText(field, value, marks);
    }
    return value.toString();
}

QVariant ParseFieldText(const FieldInfo& field, const QString& text, const RegionalMarks& marks) {
    if (field.kind == FieldKind::Text || field.kind == FieldKind::Lookup) {
        if (field.size > 0 && text.size() > field.size)
            throw Failure(
                QStringLiteral("The text for field '%1' is %2 characters long; it takes at most %3")
                    .arg(field.DisplayName())
                    .arg(text.size())
                    .arg(field.size)
                    .toStdString());
        // A null QString would be stored as NULL: an emptied cell stores "".
        return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
    }
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return {};
    const bool floating = field.kind == FieldKind::Float;
    const std::optional<std::string> plain = PlainNumber(
        trimmed, floating, field.pattern.contains(u','), FromWindows1252(marks.decimalSeparator),
        FromWindows1252(marks.thousandsSeparator));
    if (!plain) Refuse(field, text);
    const char* first = plain->data();
    const char* last = first + plain->size();
    if (floating) {
        double value = 0;
        const auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc() || end != last) Refuse(field, text);
        return value;
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        Refuse(field, text);
    return qlonglong(value);
}

bool FieldAcceptsKey(const FieldInfo& field, QChar key, const RegionalMarks& marks) {
    if (field.kind == FieldKind::Text) return true;
    if (key.category() == QChar::Other_Control) return true;
    if (field.kind == FieldKind::Lookup) return false;
    if (IsAsciiDigit(key) || key == u'+' || key == u'-') return true;
    if (field.kind != FieldKind::Float) return false;
    const QString decimal = FromWindows1252(marks.decimalSeparator);
    return key == u'e' || key == u'E' || (decimal.size() == 1 && key == decimal[0]);
}

}  // namespace velkora
