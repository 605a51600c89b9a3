// SPDX-License-Identifier: GPL-3.0-or-later
// Number text under a pattern of "#" and "0" placeholders with an optional
// "." and a "," grouping flag, rounded half away from zero at the pattern's
// last decimal place.
//
// The rounding is decided on the 18-significant-digit decimal form of the
// double (correctly rounded, ties to even), so a value stored just below a
// half rounds down and one stored just above rounds up. Integer digits are
// never cut off; a rounded value with more than 18 integer digits, an
// infinity or not-a-number is written in the general form instead.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "RegionalMarks.h"

namespace velkora {

// A pattern read once into the four quantities that shape the text. Throws
// Failure for a pattern longer than 224 characters ("Format string too long"),
// one without a digit placeholder, or one with a character other than "#",
// "0", "." and ",".
class CompiledPattern {
  public:
    explicit CompiledPattern(std::string_view pattern);

    // Decimal places the value is rounded to.
    int Decimals() const { return decimals_; }
    // Decimals always written (up to and including the last decimal "0").
    int FixedDecimals() const { return fixedDecimals_; }
    // Integer digits always written (from the first integer "0").
    int FixedIntegerDigits() const { return fixedIntegerDigits_; }
    bool Grouping() const { return grouping_; }

  private:
    int decimals_ = 0;
    int fixedDecimals_ = 0;
    int fixedIntegerDigits_ = 0;
    bool grouping_ = false;
};

// Room for the longest text any pattern of at most 224 characters can give
// with one-character marks.
struct NumberTextBuffer {
    std::array<char, 640> chars;
};

std::string NumberPattern(std::string_view pattern, double value);
std::string NumberPattern(std::string_view pattern, double value, const RegionalMarks& marks);
std::string NumberPattern(const CompiledPattern& pattern, double value, const RegionalMarks& marks);

// The same text written into the caller's buffer, without touching the heap;
// the result views the buffer and is valid until the buffer is reused.
// Throws Failure when a mark is longer than one character and the text would
// not fit.
std::string_view NumberPattern(NumberTextBuffer& buffer, const CompiledPattern& pattern,
                               double value, const RegionalMarks& marks);

// Appends the text to `out`; a string reused across calls stops allocating
// once it has grown.
void AppendNumberPattern(std::string& out, const CompiledPattern& pattern, double value,
                         const RegionalMarks& marks);

// General form: 15 significant digits, exponent form ("2E18", "1.5E20",
// "1.5E-7"), "NAN", "INF", "-INF"; zero is "0".
std::string GeneralNumberText(double value, const RegionalMarks& marks);

// Grid text of a floating field that has no pattern: 15 significant digits,
// no grouping, plain notation from 0.0001 up to below 1E15, the general form
// otherwise.
std::string FloatFieldText(double value, const RegionalMarks& marks);

// Every occurrence of `oldText`, scanning from the left, replaced by `newText`.
// An empty `oldText` leaves the text unchanged.
std::string ReplaceEvery(std::string_view text, std::string_view oldText, std::string_view newText);

}  // namespace velkora
