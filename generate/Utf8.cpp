// SPDX-License-Identifier: GPL-3.0-or-later
#include "Utf8.h"

namespace velkora {

std::optional<Utf8Char> FirstUtf8Char(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) return Utf8Char{lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        c = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (bytes.size() < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return Utf8Char{c, length};
}

}  // namespace velkora
