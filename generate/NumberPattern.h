// Number text under a pattern of "#" and "0" placeholders with an optional
// "." and a "," grouping flag, rounded half away from zero at the pattern's
// last decimal place.
#pragma once

#include <string>
#include <string_view>

#include "RegionalMarks.h"

namespace velkora {

std::string NumberPattern(std::string_view pattern, double value);
std::string NumberPattern(std::string_view pattern, double value, const RegionalMarks& marks);

// General form: 15 significant digits, exponent form ("2E18", "1.5E20"),
// "NAN", "INF", "-INF".
std::string GeneralNumberText(double value, const RegionalMarks& marks);

// Grid text of a floating field that has no pattern: 15 significant digits,
// plain notation from 0.0001 up to below 1E15, the exponent form otherwise.
std::string FloatFieldText(double value, const RegionalMarks& marks);

std::string ReplaceEvery(std::string_view text, std::string_view oldText, std::string_view newText);

}  // namespace velkora
