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

ConversionError::ConversionError(std::string_view fromType, std::string_view toType)
    : Failure(ConversionMessage(fromType, toType)) {}

}  // namespace velkora
