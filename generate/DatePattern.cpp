// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatePattern.h"

#include <cctype>
#include <charconv>

#include "Failure.h"

namespace velkora {
namespace {

void AppendPadded(std::string& text, int number, int width) {
    if (number < 0) {
        text += '-';
        number = -number;
    }
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    const int length = static_cast<int>(end - digits);
    if (length < width) text.append(width - length, '0');
    text.append(digits, end);
}

[[noreturn]] void Refuse(std::string_view pattern) {
    throw Failure("Date pattern \"" + std::string(pattern) +
                  "\" is not supported: only \"dd\", \"mm\", \"yyyy\" and \"/\" may be used");
}

}  // namespace

std::string DatePattern(std::string_view pattern, const std::tm& moment) {
    return DatePattern(pattern, moment, CurrentRegionalMarks());
}

std::string DatePattern(std::string_view pattern, const std::tm& moment,
                        const RegionalMarks& marks) {
    std::string text;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const char letter =
            static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[at])));
        if (letter == '/') {
            text += marks.dateSeparator;
            ++at;
            continue;
        }
        std::size_t run = 1;
        while (at + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[at + run])) == letter)
            ++run;
        if (letter == 'd' && run == 2) {
            AppendPadded(text, moment.tm_mday, 2);
        } else if (letter == 'm' && run == 2) {
            AppendPadded(text, moment.tm_mon + 1, 2);
        } else if (letter == 'y' && run == 4) {
            AppendPadded(text, moment.tm_year + 1900, 4);
        } else {
            Refuse(pattern);
        }
        at += run;
    }
    return text;
}

}  // namespace velkora
