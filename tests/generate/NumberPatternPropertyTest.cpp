// SPDX-License-Identifier: GPL-3.0-or-later
// NumberPattern against a slow reference written here from scratch: the
// exact decimal expansion of the double from printf, rounded to 18 digits by
// string arithmetic, then rounded at the pattern's last place as a scaled
// integer.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "NumberPattern.h"

namespace velkora {
namespace {

struct Pattern {
    const char* text;
    int decimals;
    int fixedDecimals;
    int fixedIntegers;
    bool grouping;
};

const Pattern kPatterns[] = {
    {"###,##0.###", 3, 0, 1, true},   {"###,##0.000", 3, 3, 1, true},
    {"#####0.0##", 3, 1, 1, false},   {"#####0.0###", 4, 1, 1, false},
    {"#####0.0####", 5, 1, 1, false}, {"###", 0, 0, 0, false},
    {"##0.###", 3, 0, 1, false},      {"##", 0, 0, 0, false},
};

// Adds one to a string of decimal digits; returns true when the string grew.
bool Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// A positive magnitude as `digits` (18 of them, first not zero) times ten to
// the power (exponent - 18).
struct Reference {
    std::string digits;
    int exponent;
};

Reference EighteenDigitReference(double magnitude) {
    std::vector<char> text(2000);
    const int length = std::snprintf(text.data(), text.size(), "%.1074f", magnitude);
    const std::string exact(text.data(), length);
    const std::size_t point = exact.find('.');
    const std::string all = exact.substr(0, point) + exact.substr(point + 1);
    const std::size_t first = all.find_first_not_of('0');
    Reference r{all.substr(first, 18), static_cast<int>(point) - static_cast<int>(first)};
    r.digits.resize(18, '0');
    const std::string rest = first + 18 < all.size() ? all.substr(first + 18) : "";
    bool up = false;
    if (!rest.empty() && rest[0] > '5') up = true;
    if (!rest.empty() && rest[0] == '5') {
        const bool exactHalf = rest.find_first_not_of('0', 1) == std::string::npos;
        up = !exactHalf || (r.digits.back() - '0') % 2 == 1;
    }
    if (up && Increment(r.digits)) {
        r.digits.pop_back();
        ++r.exponent;
    }
    return r;
}

std::string Group(const std::string& integer, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0) out += separator;
        out += integer[i];
    }
    return out;
}

std::string ReferenceGeneral(bool negative, const Reference& r, const RegionalMarks& marks) {
    std::string digits = r.digits.substr(0, 15);
    int exponent = r.exponent;
    if (r.digits[15] >= '5' && Increment(digits)) {
        digits.pop_back();
        ++exponent;
    }
    while (digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    out += digits[0];
    if (digits.size() > 1) out += marks.decimalSeparator + digits.substr(1);
    return out + "E" + std::to_string(exponent - 1);
}

std::string ReferenceText(const Pattern& p, double value, const Reference& r,
                          const RegionalMarks& marks) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    std::string scaled = "0";  // the magnitude times 10^decimals, rounded
    if (value != 0) {
        const int shift = r.exponent + p.decimals;
        char next = '0';
        if (shift >= 18) {
            scaled = r.digits + std::string(shift - 18, '0');
        } else if (shift > 0) {
            scaled = r.digits.substr(0, shift);
            next = r.digits[shift];
        } else if (shift == 0) {
            next = r.digits[0];
        }
        if (next >= '5') Increment(scaled);
    }
    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    if (scaled.size() <= static_cast<std::size_t>(p.decimals))
        scaled.insert(0, p.decimals + 1 - scaled.size(), '0');
    std::string integer = scaled.substr(0, scaled.size() - p.decimals);
    std::string fraction = scaled.substr(scaled.size() - p.decimals);
    integer.erase(0, integer.find_first_not_of('0'));
    if (integer.size() > 18) return ReferenceGeneral(value < 0, r, marks);
    while (fraction.size() > static_cast<std::size_t>(p.fixedDecimals) && fraction.back() == '0')
        fraction.pop_back();
    if (integer.size() < static_cast<std::size_t>(p.fixedIntegers))
        integer.insert(0, p.fixedIntegers - integer.size(), '0');
    std::string out = value < 0 && !zero ? "-" : "";
    out += p.grouping ? Group(integer, marks.thousandsSeparator) : integer;
    if (!fraction.empty()) out += marks.decimalSeparator + fraction;
    return out;
}

// Values from every corner: raw bit patterns, a wide logarithmic spread,
// and the doubles on either side of a half at each pattern's last place.
std::vector<double> Samples() {
    std::mt19937_64 random(20261208);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v)) values.push_back(v);
    }
    std::uniform_real_distribution<double> power(-9, 21);
    for (int i = 0; i < 40000; ++i) {
        const double v = std::pow(10.0, power(random));
        values.push_back(i % 2 ? -v : v);
    }
    std::uniform_int_distribution<std::int64_t> whole(0, 2000000);
    for (int decimals = 0; decimals <= 5; ++decimals) {
        for (int i = 0; i < 2000; ++i) {
            const double half =
                (static_cast<double>(whole(random)) * 10 + 5) / std::pow(10.0, decimals + 1);
            double below = half;
            double above = half;
            values.push_back(half);
            for (int step = 0; step < 3; ++step) {
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e300);
                values.push_back(below);
                values.push_back(-above);
            }
        }
    }
    // Either side of a thousandth of a unit from a half, where a quick
    // decision on the scaled value may hand over to the exact digits.
    std::uniform_real_distribution<double> offset(0.0005, 0.002);
    for (int decimals = 0; decimals <= 5; ++decimals) {
        const double unit = std::pow(10.0, -decimals);
        for (int i = 0; i < 2000; ++i) {
            const double k = static_cast<double>(whole(random)) + 0.5;
            const double d = i % 2 ? offset(random) : -offset(random);
            values.push_back((k + d) * unit);
        }
    }
    const double special[] = {0.0,
                              -0.0,
                              1e18,
                              1e18 - 128,
                              9.999999999999999e17,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max()};
    values.insert(values.end(), std::begin(special), std::end(special));
    return values;
}

TEST(NumberPatternPropertyTest, AgreesWithExactReference) {
    const RegionalMarks markSets[] = {{".", ",", "/"}, {",", ".", "/"}, {".", "", "/"}};
    const std::vector<double> values = Samples();
    std::vector<Reference> references(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (std::isfinite(values[i]) && values[i] != 0)
            references[i] = EighteenDigitReference(std::fabs(values[i]));
    }
    int failures = 0;
    for (const Pattern& p : kPatterns) {
        const CompiledPattern compiled(p.text);
        for (std::size_t i = 0; i < values.size() && failures < 20; ++i) {
            const RegionalMarks& marks = markSets[i % 3];
            const std::string expected = ReferenceText(p, values[i], references[i], marks);
            const std::string actual = NumberPattern(compiled, values[i], marks);
            if (actual != expected) {
                ++failures;
                ADD_FAILURE() << p.text << " " << std::hexfloat << values[i] << ": " << actual
                              << " instead of " << expected;
            }
        }
    }
}

}  // namespace
}  // namespace velkora
