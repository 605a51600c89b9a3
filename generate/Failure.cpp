// SPDX-License-Identifier: GPL-3.0-or-later
#include "Failure.h"

namespace velkora {

namespace {
std::string ConversionMessage(std::string_view fromType, std::string_view toType) {
    std::string message = "Could not convert variant of type (";
    message += fromType;
    message += ") into type (";
    message += toType;
    message += ")";
    return message;
}
}  // namespace

void Failure::AddWhere(std::string_view outer) {
    if (outer.empty()) return;
    where_ = where_.empty() ? std::string(outer) : std::string(outer) + ", " + where_;
    if (placeShown_) shown_ = where_ + ": " + message_;
}

ConversionError::ConversionError(std::string_view fromType, std::string_view toType)
    : Failure(ConversionMessage(fromType, toType)) {}

}  // namespace velkora
