// SPDX-License-Identifier: GPL-3.0-or-later
// Lines, refusals and numbers of an imported file.
#include "SourceText.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "Cp1252.h"
#include "Failure.h"
#include "Utf8.h"

namespace velkora {

namespace {

bool IsUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::optional<Utf8Char> c = FirstUtf8Char(bytes);
        if (!c) return false;
        bytes.remove_prefix(c->length);
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8OfCp1252(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) AppendUtf8(out, Cp1252Char(static_cast<unsigned char>(byte)));
    return out;
}

}  // namespace

SourceText ReadSourceText(std::string name, std::string_view bytes) {
    const std::string text = IsUtf8(bytes) ? std::string(bytes) : Utf8OfCp1252(bytes);
    SourceText source{std::move(name), {}};
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        source.lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) source.lines.push_back(std::move(line));
    return source;
}

void Refuse(const SourceText& text, std::size_t line, const std::string& message) {
    Failure failure(message);
    failure.AddWhere(text.name + ":" + std::to_string(line));
    throw failure;
}

std::optional<double> NumberOf(std::string_view token) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    if (token.empty() || token.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::vector<std::string_view> Tokens(std::string_view line, std::string_view separators) {
    std::vector<std::string_view> tokens;
    std::size_t from = 0;
    while (from <= line.size()) {
        const std::size_t to = std::min(line.find_first_of(separators, from), line.size());
        if (to > from) tokens.push_back(line.substr(from, to - from));
        from = to + 1;
    }
    return tokens;
}

double Rounded9(double value) { return std::round(value * 1e9) / 1e9; }

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace velkora
