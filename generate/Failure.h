// SPDX-License-Identifier: GPL-3.0-or-later
// Failures that reach the user: each carries the message the error box shows.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace velkora {

class Failure : public std::runtime_error {
  public:
    explicit Failure(const std::string& message)
        : std::runtime_error(message), message_(message), shown_(message) {}

    // The text the error box shows: the message, with the place in front for
    // failures that say where they happened (see RefusedValue).
    const char* what() const noexcept override { return shown_.c_str(); }

    // The whole message: what() stops at a NUL byte that a value brought in,
    // this does not.
    const std::string& Message() const { return message_; }

    // Where the failure happened, outermost first: a file's path, or the
    // project, element and field of a value ("project 2, element "D1", LEN").
    // Empty when nobody said. Kept apart from the message, which the error
    // box shows alone.
    const std::string& Where() const { return where_; }
    // Puts an outer place in front of what is known: code that catches a
    // failure on its way out says which part it was working on.
    void AddWhere(std::string_view outer);

  protected:
    // A failure whose place belongs to what the error box shows: a value the
    // user must find in the grids is named with its project and element.
    struct PlaceShown {};
    Failure(const std::string& message, PlaceShown) : Failure(message) { placeShown_ = true; }

  private:
    std::string message_;
    std::string where_;
    std::string shown_;
    bool placeShown_ = false;
};

// A value that cannot become the type a computation needs, for example a
// missing LEN: "Could not convert variant of type (Null) into type (Double)".
class ConversionError : public Failure {
  public:
    ConversionError(std::string_view fromType, std::string_view toType);
};

// Runs work(); a Failure leaving it gets `where` put in front of its place.
template <class Work>
decltype(auto) WithWhere(std::string_view where, Work&& work) {
    try {
        return work();
    } catch (Failure& failure) {
        failure.AddWhere(where);
        throw;
    }
}

}  // namespace velkora
