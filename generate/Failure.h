// Failures that reach the user: each carries the message the error box shows.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace velkora {

class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A value that cannot become the type a computation needs, for example a
// missing LEN: "Could not convert variant of type (Null) into type (Double)".
class ConversionError : public Failure {
  public:
    ConversionError(std::string_view fromType, std::string_view toType);
};

}  // namespace velkora
