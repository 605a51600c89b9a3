// SPDX-License-Identifier: GPL-3.0-or-later
// Number text from fuzzer bytes read as three lines: the pattern, the value
// (as strtod reads it: hex floats, "nan" and "inf" included) and the marks
// (a decimal byte, then 0 or 1 thousands byte; none: the defaults). The three ways of writing the
// text must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Failure.h"
#include "NumberPattern.h"

namespace {

std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view patternText = NextLine(input);
    const std::string valueText(NextLine(input));
    const std::string_view markText = NextLine(input);
    const double value = std::strtod(valueText.c_str(), nullptr);
    velkora::RegionalMarks marks;
    if (!markText.empty()) {
        marks.decimalSeparator = std::string(markText.substr(0, 1));
        marks.thousandsSeparator = std::string(markText.substr(1, 1));
    }

    velkora::GeneralNumberText(value, marks);
    velkora::FloatFieldText(value, marks);
    try {
        const velkora::CompiledPattern pattern(patternText);
        const std::string text = velkora::NumberPattern(pattern, value, marks);
        velkora::NumberTextBuffer buffer;
        if (velkora::NumberPattern(buffer, pattern, value, marks) != text) std::abort();
        std::string appended = "x";
        velkora::AppendNumberPattern(appended, pattern, value, marks);
        if (appended != "x" + text) std::abort();
        if (velkora::NumberPattern(patternText, value, marks) != text) std::abort();
    } catch (const velkora::Failure&) {
    }
    return 0;
}
