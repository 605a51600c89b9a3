// SPDX-License-Identifier: GPL-3.0-or-later
// Turns one element and the sections of its taper schedule into straight
// wires: a centre wire across the boom, then for every further section one
// wire outwards on each side.
#pragma once

#include <string>
#include <vector>

#include "Failure.h"
#include "MainLobeAxis.h"
#include "ModelSource.h"
#include "SoundValues.h"

namespace velkora {

// One straight wire: end points in metres, the section's tube diameter in
// millimetres. mirror marks the second wire of a section (the negative side),
// which the MMANA file writes with a shorter radius pattern.
struct WireSpan {
    double x1, y1, z1, x2, y2, z2;
    double diameter;
    bool mirror;
};

// The constructor converts LEN and refuses a negative one, so an element
// without a sound half-length fails before its sections are read. Run() then
// walks the sections in the order given (ascending ORDER) and hands every
// wire to emit as soon as it is made: the conversions happen in the same
// order as the wires, so a writer that formats a wire at once meets failures
// in the order the file would.
//
// Conversions: every section's LENGTH (a negative one is refused) and
// DIAMETER, also where the section yields no wire; DISTANCE and HEIGHT when
// the first wire is built, so an element without wires never fails on them.
// A section whose piece is zero (after the tip was reached, or of LENGTH 0)
// yields no wire, since modelling programs reject zero-length wires; it still
// counts as a section. A failed conversion names its field, and a section's
// by its place in the schedule ("section 2, DIAMETER"), in Failure::Where.
class TaperWalk {
  public:
    TaperWalk(const ElementRow& element, MainLobeAxis axis)
        : element_(element), axis_(axis), length_(HalfLength(element)) {}

    template <class Emit>
    void Run(const std::vector<TaperSection>& sections, Emit&& emit);

  private:
    struct Position {
        double distance;
        double height;
    };
    WireSpan Wire(const Position& at, double a, double b, double diameter, bool mirror) const;
    // A field of the i-th section; a failure names the section and the field.
    static double SectionValue(const DbValue& value, int i, const char* field) {
        try {
            return DoubleOfField(value, field);
        } catch (Failure& failure) {
            failure.AddWhere("section " + std::to_string(i));
            throw;
        }
    }

    const ElementRow& element_;
    MainLobeAxis axis_;
    double length_;
};

template <class Emit>
void TaperWalk::Run(const std::vector<TaperSection>& sections, Emit&& emit) {
    double remaining = length_;
    double start = 0.0;
    int i = 1;
    bool positioned = false;
    Position at{};
    for (const TaperSection& section : sections) {
        double piece = SectionValue(section.length, i, "LENGTH");
        CheckSectionLength(piece);
        if (remaining >= piece) {
            remaining -= piece;
        } else {
            piece = remaining;
            remaining = 0.0;
        }
        if (piece != 0.0) {
            if (!positioned) {
                at.distance = DoubleOfField(element_.distance, "DISTANCE");
                at.height = DoubleOfField(element_.height, "HEIGHT");
                positioned = true;
            }
            const double diameter = SectionValue(section.diameter, i, "DIAMETER");
            if (i == 1) {
                emit(Wire(at, start + piece, -(start + piece), diameter, false));
            } else {
                emit(Wire(at, start, start + piece, diameter, false));
                emit(Wire(at, -start, -(start + piece), diameter, true));
            }
        } else {
            static_cast<void>(SectionValue(section.diameter, i, "DIAMETER"));
        }
        start += piece;
        ++i;
    }
}

inline WireSpan TaperWalk::Wire(const Position& at, double a, double b, double diameter,
                                bool mirror) const {
    if (axis_ == MainLobeAxis::X) {
        return WireSpan{at.distance, a, at.height, at.distance, b, at.height, diameter, mirror};
    }
    return WireSpan{a, at.distance, at.height, b, at.distance, at.height, diameter, mirror};
}

// All wires of one element, for callers that want them at once.
std::vector<WireSpan> WalkElement(const ElementRow& element,
                                  const std::vector<TaperSection>& sections, MainLobeAxis axis);

}  // namespace velkora
