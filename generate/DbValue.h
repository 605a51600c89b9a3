// SPDX-License-Identifier: GPL-3.0-or-later
// One field value as read from the store: no value, a whole number, a
// floating number or text. Generation converts it where it is used, so a
// missing value is never silently taken as 0 or "".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace velkora {

class DbValue {
  public:
    DbValue() = default;
    static DbValue Integer(std::int64_t value) { return DbValue(Storage(value)); }
    static DbValue Real(double value) { return DbValue(Storage(value)); }
    static DbValue Text(std::string value) { return DbValue(Storage(std::move(value))); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(value_); }
    bool IsReal() const { return std::holds_alternative<double>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }

    // Numbers convert; null and text throw ConversionError (Null/String into Double).
    double ToDouble() const;
    // Text and whole numbers convert; null throws ConversionError (Null into String).
    std::string ToText() const;
    // The kind's name as conversion messages spell it: Null, Int64, Double, String.
    std::string_view KindName() const;

    bool operator==(const DbValue&) const = default;

  private:
    using Storage = std::variant<std::monostate, std::int64_t, double, std::string>;
    explicit DbValue(Storage value) : value_(std::move(value)) {}
    Storage value_;
};

// ToDouble and ToText of a named field: a failure says which field it was
// (Failure::Where).
double DoubleOfField(const DbValue& value, std::string_view field);
std::string TextOfField(const DbValue& value, std::string_view field);

}  // namespace velkora
