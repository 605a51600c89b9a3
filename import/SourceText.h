// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a file being imported, the refusal that names a line, and the
// strict number reading every reader shares.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkora {

struct SourceText {
    std::string name;                // the path, as messages show it
    std::vector<std::string> lines;  // UTF-8, without line ends
};

// Splits at LF, CR LF or CR. Text that is not UTF-8 is read as Windows-1252,
// the code page MMANA writes.
SourceText ReadSourceText(std::string name, std::string_view bytes);

// Throws Failure whose place is "NAME:LINE" (lines count from 1).
[[noreturn]] void Refuse(const SourceText& text, std::size_t line, const std::string& message);

// The whole token as a finite decimal number ("+1", "-0.5", "1e-3"), or nothing.
std::optional<double> NumberOf(std::string_view token);

// The parts of a line between separators, empty parts dropped.
std::vector<std::string_view> Tokens(std::string_view line, std::string_view separators);

// Rounded to 9 decimals: a sum or difference of values read from a file,
// without the binary noise of the arithmetic.
double Rounded9(double value);

std::string LowerCase(std::string_view text);

}  // namespace velkora
