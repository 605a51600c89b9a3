// SPDX-License-Identifier: GPL-3.0-or-later
// A project read from fuzzer bytes as text, one record a line, fields
// separated by ";":
//     P;NOME;F0;SOURCE_WIRE;HEIGHT            the project (ID 1)
//     E;NOME;TYPE;LEN;ID_TAPER;DISTANCE;HEIGHT an element of project 1
//     S;ID_TAPER;DIAMETER;LENGTH               a section (ORDER as listed)
//     M;DECIMAL;THOUSANDS;AXIS                 the marks (1 and 0 or 1 bytes), X or Y
// A field is empty for null, "quoted for text, else a whole number, a
// floating number or, failing both, text. Lines that fit no record are
// skipped, so every input is a project.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "MainLobeAxis.h"
#include "MemoryModelSource.h"
#include "ModelSource.h"
#include "RegionalMarks.h"

namespace velkora::fuzz {

inline DbValue ValueOf(std::string_view field) {
    if (field.empty()) return {};
    if (field.front() == '"') return DbValue::Text(std::string(field.substr(1)));
    const std::string text(field);
    char* end = nullptr;
    const long long whole = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() + text.size()) return DbValue::Integer(whole);
    const double real = std::strtod(text.c_str(), &end);
    if (end == text.c_str() + text.size()) return DbValue::Real(real);
    return DbValue::Text(text);
}

inline std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = line.find(separator, at);
        parts.push_back(line.substr(at, next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

struct FuzzProject {
    ProjectRow project{DbValue::Integer(1), {}, {}, {}, {}};
    test::MemoryModelSource source;
    RegionalMarks marks;
    MainLobeAxis axis = MainLobeAxis::X;

    explicit FuzzProject(std::string_view text) {
        std::int64_t order = 0;
        for (const std::string_view line : Split(text, '\n')) {
            const std::vector<std::string_view> f = Split(line, ';');
            if (f[0] == "P" && f.size() == 5) {
                project = {DbValue::Integer(1), ValueOf(f[1]), ValueOf(f[2]), ValueOf(f[3]),
                           ValueOf(f[4])};
            } else if (f[0] == "E" && f.size() == 7) {
                const auto id = static_cast<std::int64_t>(source.elements.size() + 1);
                source.elements.push_back({DbValue::Integer(id), DbValue::Integer(1), ValueOf(f[1]),
                                           ValueOf(f[2]), ValueOf(f[3]), ValueOf(f[4]),
                                           ValueOf(f[5]), ValueOf(f[6])});
            } else if (f[0] == "S" && f.size() == 4) {
                source.sections.push_back(
                    {ValueOf(f[1]), DbValue::Integer(++order), ValueOf(f[2]), ValueOf(f[3])});
            } else if (f[0] == "M" && f.size() == 4 && f[1].size() == 1 && f[2].size() <= 1) {
                marks.decimalSeparator = std::string(f[1]);
                marks.thousandsSeparator = std::string(f[2]);
                axis = f[3] == "Y" ? MainLobeAxis::Y : MainLobeAxis::X;
            }
        }
    }
};

}  // namespace velkora::fuzz
