// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceWire.h"

#include <cctype>
#include <charconv>

#include "Failure.h"

namespace velkora {

namespace {

std::string Trimmed(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && blank(static_cast<unsigned char>(text[from]))) ++from;
    while (to > from && blank(static_cast<unsigned char>(text[to - 1]))) --to;
    return text.substr(from, to - from);
}

bool PlaceOf(char letter, WirePlace& place) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'b':
            place = WirePlace::First;
            return true;
        case 'c':
            place = WirePlace::Middle;
            return true;
        case 'e':
            place = WirePlace::Last;
            return true;
        default:
            return false;
    }
}

}  // namespace

SourceWire ParseSourceWire(const std::string& text) {
    const std::string source = Trimmed(text);
    SourceWire parsed{0, WirePlace::Middle};
    const bool shaped = source.size() >= 3 &&
                        std::tolower(static_cast<unsigned char>(source[0])) == 'w' &&
                        PlaceOf(source.back(), parsed.place);
    if (shaped) {
        const char* first = source.data() + 1;
        const char* last = source.data() + source.size() - 1;
        const auto [end, error] = std::from_chars(first, last, parsed.wire);
        if (error == std::errc() && end == last && parsed.wire >= 1) return parsed;
    }
    throw Failure("SOURCE_WIRE \"" + text +
                  "\" does not name a wire: write w, the wire's number and c (middle), b (first) "
                  "or e (last segment), for example w10c");
}

}  // namespace velkora
