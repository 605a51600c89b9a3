// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberPattern.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Failure.h"

namespace velkora {
namespace {

constexpr std::size_t kMaxPatternLength = 224;
// Digits of the decimal form every rounding decision is taken on.
constexpr int kFormDigits = 18;
// Significant digits of the general form.
constexpr int kGeneralDigits = 15;

// A magnitude as 0.d1 d2 ... d(count) times ten to the power `exponent`;
// count 0 is the value zero.
struct DecimalForm {
    char digits[kFormDigits];
    int count = 0;
    int exponent = 0;
};

// The 18-digit form of a finite, non-zero magnitude. std::to_chars with a
// precision gives the exactly rounded digits (ties to even).
DecimalForm EighteenDigits(double magnitude) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, magnitude,
                                      std::chars_format::scientific, kFormDigits - 1);
    // text is "d.ddddddddddddddddde[+-]xx"
    DecimalForm form;
    form.digits[0] = text[0];
    std::memcpy(form.digits + 1, text + 2, kFormDigits - 1);
    form.count = kFormDigits;
    const char* exponent = text + kFormDigits + 2;
    const bool negative = *exponent == '-';
    int power = 0;
    for (const char* p = exponent + 1; p < result.ptr; ++p) power = power * 10 + (*p - '0');
    form.exponent = (negative ? -power : power) + 1;
    return form;
}

void DropTrailingZeros(DecimalForm& form) {
    while (form.count > 0 && form.digits[form.count - 1] == '0') --form.count;
}

// Keeps the first `keep` digits, rounding half away from zero on the digit
// after them; a carry out of the first digit leaves the single digit 1.
void RoundToDigits(DecimalForm& form, int keep) {
    if (keep < 0) {
        form.count = 0;
        return;
    }
    if (keep >= form.count) {
        DropTrailingZeros(form);
        return;
    }
    const bool up = form.digits[keep] >= '5';
    form.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && form.digits[i] == '9') form.digits[i--] = '0';
        if (i >= 0) {
            ++form.digits[i];
        } else {
            form.digits[0] = '1';
            form.count = 1;
            ++form.exponent;
        }
    }
    DropTrailingZeros(form);
}

char* Put(char* out, const std::string& mark) {
    std::memcpy(out, mark.data(), mark.size());
    return out + mark.size();
}

char* PutRepeated(char* out, char c, int times) {
    for (int i = 0; i < times; ++i) *out++ = c;
    return out;
}

char* PutExponent(char* out, int power) {
    *out++ = 'E';
    return std::to_chars(out, out + 8, power).ptr;
}

// "NAN", "INF", "-INF", or false for a finite value.
bool PutNonFinite(char*& out, double value) {
    if (std::isnan(value)) {
        out = static_cast<char*>(std::memcpy(out, "NAN", 3)) + 3;
        return true;
    }
    if (std::isinf(value)) {
        if (value < 0) *out++ = '-';
        out = static_cast<char*>(std::memcpy(out, "INF", 3)) + 3;
        return true;
    }
    return false;
}

// Exponent form of a rounded, non-zero value: 1.5E20.
char* PutExponentForm(char* out, bool negative, const DecimalForm& form,
                      const RegionalMarks& marks) {
    if (negative) *out++ = '-';
    *out++ = form.digits[0];
    if (form.count > 1) {
        out = Put(out, marks.decimalSeparator);
        std::memcpy(out, form.digits + 1, form.count - 1);
        out += form.count - 1;
    }
    return PutExponent(out, form.exponent - 1);
}

char* PutGeneralForm(char* out, double value, const RegionalMarks& marks) {
    if (PutNonFinite(out, value)) return out;
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    DecimalForm form = EighteenDigits(std::fabs(value));
    RoundToDigits(form, kGeneralDigits);
    return PutExponentForm(out, value < 0, form, marks);
}

// Digits after the decimal point of a rounded value: the zeros between the
// point and d1, then the digits that lie after the point.
char* PutFraction(char* out, const DecimalForm& form, int minimumDigits,
                  const RegionalMarks& marks) {
    const int written = form.count > form.exponent ? form.count - form.exponent : 0;
    const int total = written > minimumDigits ? written : minimumDigits;
    if (total == 0) return out;
    out = Put(out, marks.decimalSeparator);
    for (int k = 0; k < written; ++k) {
        const int index = form.exponent + k;
        *out++ = index < 0 ? '0' : form.digits[index];
    }
    return PutRepeated(out, '0', total - written);
}

char* PutInteger(char* out, const DecimalForm& form, int minimumDigits,
                 const std::string* separator) {
    const int own = form.exponent > 0 ? form.exponent : 0;
    const int total = own > minimumDigits ? own : minimumDigits;
    const int padding = total - own;
    for (int i = 0; i < total; ++i) {
        const int index = i - padding;
        *out++ = index < 0 || index >= form.count ? '0' : form.digits[index];
        const int place = total - i;
        if (separator != nullptr && place > 1 && (place - 1) % 3 == 0) out = Put(out, *separator);
    }
    return out;
}

char* PutZero(char* out, const CompiledPattern& pattern, const RegionalMarks& marks) {
    out = PutRepeated(out, '0', pattern.FixedIntegerDigits());
    if (pattern.FixedDecimals() > 0) {
        out = Put(out, marks.decimalSeparator);
        out = PutRepeated(out, '0', pattern.FixedDecimals());
    }
    return out;
}

// Powers of ten that a double holds exactly.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr int kQuickMaxDecimals = 15;
// Below this the product magnitude * 10^D is within 1.2e-4 of the exact
// product, and the 18-digit form within 5e-7 of the double (in units of the
// last place), so a fraction outside kQuickTieWindow of a half decides the
// rounding as the exact 18-digit form would.
constexpr double kQuickLimit = 1e12;
constexpr double kQuickTieWindow = 0.001;

// The rounded value for the common case, found with one multiplication:
// magnitude * 10^D rounded half up, as digits with their exponent. False
// when the value is too large or too close to a half to decide this way.
bool QuickRound(double magnitude, int decimals, DecimalForm& form) {
    if (decimals > kQuickMaxDecimals) return false;
    const double scaled = magnitude * kPowersOfTen[decimals];
    if (!(scaled < kQuickLimit)) return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;  // exact
    if (fraction >= 0.5 - kQuickTieWindow && fraction < 0.5 + kQuickTieWindow) return false;
    const auto units = static_cast<std::uint64_t>(whole) + (fraction >= 0.5 ? 1 : 0);
    if (units == 0) {
        form.count = 0;
        return true;
    }
    const char* end = std::to_chars(form.digits, form.digits + kFormDigits, units).ptr;
    form.count = static_cast<int>(end - form.digits);
    form.exponent = form.count - decimals;
    DropTrailingZeros(form);
    return true;
}

char* PutPatterned(char* out, const CompiledPattern& pattern, double value,
                   const RegionalMarks& marks) {
    if (PutNonFinite(out, value)) return out;
    if (value == 0) return PutZero(out, pattern, marks);
    DecimalForm form;
    if (!QuickRound(std::fabs(value), pattern.Decimals(), form)) {
        form = EighteenDigits(std::fabs(value));
        const int keep = form.exponent + pattern.Decimals();
        RoundToDigits(form, keep < kFormDigits ? keep : kFormDigits);
    }
    if (form.count == 0) return PutZero(out, pattern, marks);
    if (form.exponent > kFormDigits) return PutGeneralForm(out, value, marks);
    if (value < 0) *out++ = '-';
    // A thousands mark equal to the decimal mark would make the text unreadable.
    const bool group = pattern.Grouping() && !marks.thousandsSeparator.empty() &&
                       marks.thousandsSeparator != marks.decimalSeparator;
    out = PutInteger(out, form, pattern.FixedIntegerDigits(),
                     group ? &marks.thousandsSeparator : nullptr);
    return PutFraction(out, form, pattern.FixedDecimals(), marks);
}

// The longest text PutPatterned can write for this pattern and these marks.
std::size_t TextBound(const CompiledPattern& pattern, const RegionalMarks& marks) {
    const std::size_t integer =
        pattern.FixedIntegerDigits() > kFormDigits ? pattern.FixedIntegerDigits() : kFormDigits;
    const std::size_t separators = pattern.Grouping() ? integer / 3 : 0;
    const std::size_t patterned = 1 + integer + separators * marks.thousandsSeparator.size() +
                                  marks.decimalSeparator.size() + pattern.Decimals();
    const std::size_t general = 1 + kGeneralDigits + marks.decimalSeparator.size() + 6;
    return patterned > general ? patterned : general;
}

std::string NumberPatternText(const CompiledPattern& pattern, double value,
                              const RegionalMarks& marks) {
    NumberTextBuffer buffer;
    const std::size_t bound = TextBound(pattern, marks);
    if (bound <= buffer.chars.size()) {
        char* end = PutPatterned(buffer.chars.data(), pattern, value, marks);
        return std::string(buffer.chars.data(), end);
    }
    std::string text(bound, '\0');
    text.resize(PutPatterned(text.data(), pattern, value, marks) - text.data());
    return text;
}

}  // namespace

CompiledPattern::CompiledPattern(std::string_view pattern) {
    if (pattern.size() > kMaxPatternLength) throw Failure("Format string too long");
    bool afterPoint = false;
    bool seenZero = false;
    int placeholders = 0;
    for (const char c : pattern) {
        switch (c) {
            case '0':
            case '#':
                ++placeholders;
                seenZero = seenZero || c == '0';
                if (afterPoint) {
                    ++decimals_;
                    if (c == '0') fixedDecimals_ = decimals_;
                } else if (seenZero) {
                    ++fixedIntegerDigits_;
                }
                break;
            case '.':
                afterPoint = true;
                break;
            case ',':
                grouping_ = true;
                break;
            default:
                throw Failure("Format string \"" + std::string(pattern) +
                              "\" has the unsupported character \"" + std::string(1, c) +
                              "\"; only \"#\", \"0\", \".\" and \",\" are allowed");
        }
    }
    if (placeholders == 0) {
        throw Failure("Format string \"" + std::string(pattern) +
                      "\" has no digit placeholder (\"#\" or \"0\")");
    }
}

std::string NumberPattern(std::string_view pattern, double value) {
    return NumberPattern(pattern, value, CurrentRegionalMarks());
}

std::string NumberPattern(std::string_view pattern, double value, const RegionalMarks& marks) {
    return NumberPatternText(CompiledPattern(pattern), value, marks);
}

std::string NumberPattern(const CompiledPattern& pattern, double value,
                          const RegionalMarks& marks) {
    return NumberPatternText(pattern, value, marks);
}

std::string_view NumberPattern(NumberTextBuffer& buffer, const CompiledPattern& pattern,
                               double value, const RegionalMarks& marks) {
    if (TextBound(pattern, marks) > buffer.chars.size()) {
        throw Failure("Number text does not fit the buffer: regional marks are too long");
    }
    char* end = PutPatterned(buffer.chars.data(), pattern, value, marks);
    return std::string_view(buffer.chars.data(), end - buffer.chars.data());
}

void AppendNumberPattern(std::string& out, const CompiledPattern& pattern, double value,
                         const RegionalMarks& marks) {
    const std::size_t start = out.size();
    out.resize(start + TextBound(pattern, marks));
    char* end = PutPatterned(out.data() + start, pattern, value, marks);
    out.resize(end - out.data());
}

std::string GeneralNumberText(double value, const RegionalMarks& marks) {
    char text[64];
    if (marks.decimalSeparator.size() > 32) {
        throw Failure("Decimal separator too long: " + marks.decimalSeparator);
    }
    return std::string(text, PutGeneralForm(text, value, marks));
}

std::string FloatFieldText(double value, const RegionalMarks& marks) {
    if (!std::isfinite(value) || value == 0) return GeneralNumberText(value, marks);
    DecimalForm form = EighteenDigits(std::fabs(value));
    RoundToDigits(form, kGeneralDigits);
    // Plain notation from 0.0001 (0.1E-3) up to below 1E15 (0.1E16).
    if (form.exponent < -3 || form.exponent > 15) return GeneralNumberText(value, marks);
    std::string text;
    text.reserve(1 + 15 + 3 + marks.decimalSeparator.size() + 1);
    if (value < 0) text += '-';
    if (form.exponent <= 0) text += '0';
    for (int i = 0; i < form.exponent; ++i) text += i < form.count ? form.digits[i] : '0';
    if (form.count > form.exponent) {
        text += marks.decimalSeparator;
        for (int index = form.exponent; index < form.count; ++index) {
            text += index < 0 ? '0' : form.digits[index];
        }
    }
    return text;
}

std::string ReplaceEvery(std::string_view text, std::string_view oldText,
                         std::string_view newText) {
    if (oldText.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(oldText); at != std::string_view::npos;
         at = text.find(oldText, from)) {
        result.append(text, from, at - from);
        result.append(newText);
        from = at + oldText.size();
    }
    result.append(text, from);
    return result;
}

}  // namespace velkora
