// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace velkora {

namespace {

struct Mapping {
    char32_t code;
    unsigned char byte;
};

// The characters that Windows-1252 places in 0x80-0x9F, sorted by code point.
constexpr std::array<Mapping, 27> kHighPunctuation{{
    {0x0152, 0x8C}, {0x0153, 0x9C}, {0x0160, 0x8A}, {0x0161, 0x9A}, {0x0178, 0x9F}, {0x017D, 0x8E},
    {0x017E, 0x9E}, {0x0192, 0x83}, {0x02C6, 0x88}, {0x02DC, 0x98}, {0x2013, 0x96}, {0x2014, 0x97},
    {0x2018, 0x91}, {0x2019, 0x92}, {0x201A, 0x82}, {0x201C, 0x93}, {0x201D, 0x94}, {0x201E, 0x84},
    {0x2020, 0x86}, {0x2021, 0x87}, {0x2022, 0x95}, {0x2026, 0x85}, {0x2030, 0x89}, {0x2039, 0x8B},
    {0x203A, 0x9B}, {0x20AC, 0x80}, {0x2122, 0x99},
}};

char EncodeOne(char32_t code) { return Cp1252Byte(code).value_or('?'); }

// The allowed range of the second byte after a lead byte; the third and fourth
// bytes are always 0x80-0xBF.
struct Lead {
    int continuations;
    unsigned char low;
    unsigned char high;
};

Lead LeadOf(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {1, 0x80, 0xBF};
    if (byte == 0xE0) return {2, 0xA0, 0xBF};
    if (byte == 0xED) return {2, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {2, 0x80, 0xBF};
    if (byte == 0xF0) return {3, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {3, 0x80, 0xBF};
    if (byte == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0};
}

}  // namespace

std::optional<char> Cp1252Byte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    const auto* found = std::lower_bound(
        kHighPunctuation.begin(), kHighPunctuation.end(), code,
        [](const Mapping& mapping, char32_t wanted) { return mapping.code < wanted; });
    if (found != kHighPunctuation.end() && found->code == code)
        return static_cast<char>(found->byte);
    return std::nullopt;
}

char32_t Cp1252Char(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        for (const Mapping& mapping : kHighPunctuation)
            if (mapping.byte == byte) return mapping.code;
    return byte;
}

void AppendCp1252(std::string& out, std::string_view utf8) {
    std::size_t at = 0;
    while (at < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++at;
            continue;
        }
        const Lead shape = LeadOf(lead);
        if (shape.continuations == 0) {
            out += '?';
            ++at;
            continue;
        }
        const int mask = shape.continuations == 1 ? 0x1F : shape.continuations == 2 ? 0x0F : 0x07;
        char32_t code = lead & mask;
        std::size_t next = at + 1;
        bool complete = true;
        for (int k = 0; k < shape.continuations; ++k, ++next) {
            const unsigned char low = k == 0 ? shape.low : 0x80;
            const unsigned char high = k == 0 ? shape.high : 0xBF;
            if (next >= utf8.size()) {
                complete = false;
                break;
            }
            const auto byte = static_cast<unsigned char>(utf8[next]);
            if (byte < low || byte > high) {
                complete = false;
                break;
            }
            code = (code << 6) | (byte & 0x3F);
        }
        out += complete ? EncodeOne(code) : '?';
        at = next;
    }
}

std::string ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendCp1252(out, utf8);
    return out;
}

}  // namespace velkora
