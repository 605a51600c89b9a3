// SPDX-License-Identifier: GPL-3.0-or-later
// Telling a design file's format and reading it with its reader.
#include "ImportFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Failure.h"
#include "Readers.h"
#include "SourceText.h"

namespace velkora {

namespace {

struct FormatRule {
    ImportFormat format;
    const char* name;  // as --format takes it
    std::vector<const char*> extensions;
    ImportedDesign (*read)(const SourceText&);
};

const std::vector<FormatRule>& Formats() {
    static const std::vector<FormatRule> formats = {
        {ImportFormat::Maa, "maa", {"maa"}, ReadMaa},
        {ImportFormat::Yo, "yag", {"yag", "ant", "yo"}, ReadYo},
        {ImportFormat::Nec, "nec", {"nec", "nc"}, ReadNec},
    };
    return formats;
}

// A NEC-2 deck starts with a comment, a symbol or a wire card.
bool StartsWithCard(const std::string& line) {
    const std::string card = LowerCase(line.substr(0, 2));
    const bool alone = line.size() >= 2 && (line.size() == 2 || line[2] == ' ' || line[2] == '\t');
    return alone && (card == "cm" || card == "ce" || card == "gw" || card == "sy");
}

// Without a known extension: MMANA's "*" line, NEC cards, or YO's
// "N elements" line.
std::optional<ImportFormat> FormatOfContent(const SourceText& text) {
    if (text.lines.size() > 2 && text.lines[1].rfind('*', 0) == 0) return ImportFormat::Maa;
    for (const std::string& line : text.lines) {
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (StartsWithCard(line)) return ImportFormat::Nec;
        break;
    }
    for (const std::string& line : text.lines)
        if (LowerCase(line).find("elements") != std::string::npos) return ImportFormat::Yo;
    return std::nullopt;
}

std::optional<ImportFormat> FormatOfName(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    const std::string extension = LowerCase(path.substr(dot + 1));
    for (const FormatRule& rule : Formats())
        for (const char* known : rule.extensions)
            if (extension == known) return rule.format;
    return std::nullopt;
}

}  // namespace

std::optional<ImportFormat> ImportFormatNamed(std::string_view name) {
    for (const FormatRule& rule : Formats())
        if (name == rule.name) return rule.format;
    return std::nullopt;
}

ImportedDesign ReadDesign(const std::string& path, std::string_view bytes,
                          std::optional<ImportFormat> format) {
    const SourceText text = ReadSourceText(path, bytes);
    if (std::all_of(text.lines.begin(), text.lines.end(), [](const std::string& line) {
            return line.find_first_not_of(" \t") == std::string::npos;
        }))
        Refuse(text, 1, "the file is empty");
    if (!format) format = FormatOfName(path);
    if (!format) format = FormatOfContent(text);
    if (!format) {
        Failure failure(
            "neither the name nor the content tells the format: give --format maa, yag or nec");
        failure.AddWhere(path);
        throw failure;
    }
    for (const FormatRule& rule : Formats())
        if (rule.format == *format) return rule.read(text);
    throw std::logic_error("no reader for a format");
}

ImportedDesign ReadDesignFile(const std::string& path, std::optional<ImportFormat> format) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    if (file) bytes << file.rdbuf();
    if (!file || file.bad()) {
        Failure failure(std::string("cannot be read: ") + std::strerror(errno));
        failure.AddWhere(path);
        throw failure;
    }
    return ReadDesign(path, bytes.str(), format);
}

}  // namespace velkora
