// SPDX-License-Identifier: GPL-3.0-or-later
// The checks that refuse values which would make a wrong model.
#include "SoundValues.h"

#include <charconv>
#include <cmath>
#include <string>
#include <utility>

#include "DbValue.h"
#include "TaperWalk.h"

namespace velkora {

namespace {

// What a field's value must be, and what the message says it needs.
struct Rule {
    std::string_view label;
    bool (*sound)(double value);
    std::string_view need;
};

bool Finite(double value) { return std::isfinite(value); }
bool FiniteAboveZero(double value) { return std::isfinite(value) && value > 0; }
bool AboveZero(double value) { return value > 0; }
bool NotNegative(double value) { return !(value < 0); }

const Rule kFrequency{"F0", FiniteAboveZero,
                      "the design frequency must be a finite number above 0"};
const Rule kGroundHeight{"HEIGHT", Finite, "the height above ground must be a finite number"};
const Rule kHalfLength{"SIZE", NotNegative, "an element needs a half-length of 0 or more"};
const Rule kSectionLength{"LENGTH", NotNegative, "a section needs a length of 0 or more"};
const Rule kDiameterFinite{"DIAMETER", Finite, "a tube needs a finite diameter"};
const Rule kDiameter{"DIAMETER", AboveZero, "a tube needs a diameter above 0"};
// The fields an end point is made of: the boom coordinate is the element's
// DISTANCE, the one across the boom comes from LEN, the height is HEIGHT.
const Rule kOffset{"OFFSET", Finite, "an element's place along the boom must be a finite number"};
const Rule kSize{"SIZE", Finite, "an element needs a finite half-length"};
const Rule kHeight{"HEIGHT", Finite, "an element's height must be a finite number"};

double Checked(const Rule& rule, double value) {
    if (!rule.sound(value)) throw RefusedValue(rule.label, value, rule.need);
    return value;
}

std::string RefusalMessage(std::string_view label, double value, std::string_view need) {
    std::string message(label);
    message += " is ";
    message += ValueText(value);
    message += "; ";
    message += need;
    return message;
}

}  // namespace

RefusedValue::RefusedValue(std::string_view label, double value, std::string_view need)
    : Failure(RefusalMessage(label, value, need), PlaceShown{}) {}

std::string ValueText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    // The fewest significant digits that read back as the value, in the
    // familiar %g form.
    char text[32];
    for (int digits = 1;; ++digits) {
        const auto end =
            std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr;
        double back = 0;
        std::from_chars(text, end, back);
        if (back == value || digits == 17) return std::string(text, end);
    }
}

double DesignFrequency(const ProjectRow& project) {
    return Checked(kFrequency, DoubleOfField(project.f0, "F0"));
}

double GroundHeight(const ProjectRow& project) {
    return Checked(kGroundHeight, DoubleOfField(project.height, "HEIGHT"));
}

double HalfLength(const ElementRow& element) {
    return Checked(kHalfLength, DoubleOfField(element.len, "LEN"));
}

void CheckSectionLength(double length) { Checked(kSectionLength, length); }

void CheckWrittenWire(const WireSpan& wire, const ElementRow& element, MainLobeAxis axis) {
    const double ends[6] = {wire.x1, wire.y1, wire.z1, wire.x2, wire.y2, wire.z2};
    for (int i = 0; i < 6; ++i) {
        if (std::isfinite(ends[i])) continue;
        const int coordinate = i % 3;
        const bool alongBoom = (coordinate == 0) == (axis == MainLobeAxis::X);
        const auto& [rule, field] = coordinate == 2 ? std::pair(&kHeight, &element.height)
                                    : alongBoom     ? std::pair(&kOffset, &element.distance)
                                                    : std::pair(&kSize, &element.len);
        throw RefusedValue(rule->label, field->ToDouble(), rule->need);
    }
    Checked(kDiameterFinite, wire.diameter);
    Checked(kDiameter, wire.diameter);
}

}  // namespace velkora
