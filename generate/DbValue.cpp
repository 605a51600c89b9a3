// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbValue.h"

#include <charconv>

#include "Failure.h"

namespace velkora {

double DbValue::ToDouble() const {
    if (const auto* real = std::get_if<double>(&value_)) return *real;
    if (const auto* whole = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*whole);
    throw ConversionError(KindName(), "Double");
}

std::string DbValue::ToText() const {
    if (const auto* text = std::get_if<std::string>(&value_)) return *text;
    if (const auto* whole = std::get_if<std::int64_t>(&value_)) return std::to_string(*whole);
    if (const auto* real = std::get_if<double>(&value_)) {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, *real, std::chars_format::general, 15);
        return std::string(buffer, result.ptr);
    }
    throw ConversionError(KindName(), "String");
}

std::string_view DbValue::KindName() const {
    switch (value_.index()) {
        case 0:
            return "Null";
        case 1:
            return "Int64";
        case 2:
            return "Double";
        default:
            return "String";
    }
}

double DoubleOfField(const DbValue& value, std::string_view field) {
    return WithWhere(field, [&] { return value.ToDouble(); });
}

std::string TextOfField(const DbValue& value, std::string_view field) {
    return WithWhere(field, [&] { return value.ToText(); });
}

}  // namespace velkora
