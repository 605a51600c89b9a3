// SPDX-License-Identifier: GPL-3.0-or-later
// The NEC-2 deck of a project, for nec2c and xnec2c. Wires carry the numbers
// of the project's MMANA model as tags, so SOURCE_WIRE names the same wire in
// both models.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ModelWriters.h"
#include "TaperWalk.h"

namespace velkora {

enum class NecTaper {
    Corrected,  // every element one uniform wire that resonates as the tapered one
    Exact,      // every tube its own wire, the MMANA geometry
};

enum class NecGround { Free, Perfect, Real };

// Frequencies in MHz; the deck steps from start while not beyond stop.
struct FrequencySweep {
    double start;
    double stop;
    double step;
    int Count() const;
};

struct NecOptions {
    NecTaper taper = NecTaper::Corrected;
    NecGround ground = NecGround::Free;
    std::optional<FrequencySweep> sweep;  // F0 alone when empty
    // The deck ends after its source card, for a caller that adds its own
    // frequency and pattern cards and the EN card.
    bool withoutRequests = false;
};

struct NecWire {
    int tag;  // the MMANA wire number; a corrected element takes its centre wire's
    int segments;
    WireSpan span;
};

struct NecModel {
    std::vector<NecWire> wires;
    int sourceTag;
    int sourceSegment;
    double f0;  // MHz
};

// The azimuth (degrees) of the boom's direction towards the element with the
// largest DISTANCE: elements lie at their DISTANCE along the boom axis.
double ForwardAzimuth(MainLobeAxis axis);

// Segments of about equal length along each element, none longer than a
// twentieth of the wavelength at F0, an odd count on the fed wire. Throws
// Failure, whose Where() names the project: a value that is not a number, a
// value that would make a wrong model (RefusedValue: F0 not a finite number
// above 0, see SoundValues.h), a SOURCE_WIRE that names no wire of the model
// or, with the corrected taper, an outer piece.
NecModel BuildNecModel(const ModelJob& job, const NecOptions& options);

// The deck's text: "." decimals whatever the locale, LF line ends.
std::string NecDeckText(const ModelJob& job, const NecOptions& options);

// To a path, replacing any file only when the whole deck is made (see
// WriteModelFile). Throws Failure.
void WriteNecModel(const std::string& path, const ModelJob& job, const NecOptions& options);

}  // namespace velkora
