// SPDX-License-Identifier: GPL-3.0-or-later
// The values a model can be made of: numbers that would give a modelling
// program a wrong model (a negative length, a tube without thickness, an end
// point at infinity) are refused, so that no model file is written from them.
#pragma once

#include <string_view>

#include "Failure.h"
#include "MainLobeAxis.h"
#include "ModelSource.h"

namespace velkora {

struct WireSpan;

// Every model applies one rule to the values it reads: values are read in
// the order the writer writes the file; each is first converted (a null or a
// text fails with "Could not convert variant ...") and then checked here, and
// the first value that fails either way decides the message. A wire is
// checked when the writer knows it writes it (its two ends read differently),
// its end points in the order of the line, then its diameter; so a wire that
// is left out never refuses a model.

// A value that would make a wrong model: "DIAMETER is 0; a tube needs a
// diameter above 0", the field by its label. Its place (project, element) is
// part of what the error box shows.
class RefusedValue : public Failure {
  public:
    RefusedValue(std::string_view label, double value, std::string_view need);
};

// The value as a user recognises it: "-0.5", "1e+20", "nan", "inf".
std::string ValueText(double value);

// PROJECTS.F0, finite and above 0 (MMANA's frequency line, the NEC-2 deck).
double DesignFrequency(const ProjectRow& project);
// PROJECTS.HEIGHT, finite (MMANA's ground line).
double GroundHeight(const ProjectRow& project);
// ELEMENTS.LEN, 0 or more.
double HalfLength(const ElementRow& element);
// TAPER_SIZES.LENGTH, 0 or more (a NaN is no negative number).
void CheckSectionLength(double length);

// A wire a model writes: finite end points, named by the field that made
// the coordinate (OFFSET along the boom, SIZE across it, HEIGHT), and a
// finite diameter above 0.
void CheckWrittenWire(const WireSpan& wire, const ElementRow& element, MainLobeAxis axis);

}  // namespace velkora
