// SPDX-License-Identifier: GPL-3.0-or-later
// Reading UTF-8 one character at a time, refusing what is not well-formed
// (overlong forms, surrogates, code points past U+10FFFF).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velkora {

struct Utf8Char {
    char32_t codePoint;
    std::size_t length;  // bytes
};

// The well-formed character that bytes start with, or nothing.
std::optional<Utf8Char> FirstUtf8Char(std::string_view bytes);

}  // namespace velkora
