// SPDX-License-Identifier: GPL-3.0-or-later
// What the pictures of one project are drawn from: the antenna's wires as
// the MMANA model numbers them, and the solver's figures over a sweep.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "MmanaNumbering.h"
#include "ModelSource.h"
#include "NecDeck.h"
#include "SolveResult.h"
#include "SourceWire.h"

namespace velkora {

struct PictureInput {
    QString title;  // the project's name
    double f0 = 0;  // MHz
    double z0 = 50;
    // The wires with the boom along x (DISTANCE), the elements along y and
    // HEIGHT as z; elements in ascending DISTANCE.
    std::vector<NumberedElement> elements;
    QString sourceText;                   // SOURCE_WIRE as stored
    std::optional<SourceWire> source;     // empty when sourceText names no wire place
    std::vector<FrequencyFigures> sweep;  // in ascending frequency
    // Why a picture cannot be drawn, in words; empty when it can. The
    // geometry needs only the store, the other pictures need the solver.
    QString geometryProblem;
    QString solveProblem;
};

// Fills title, f0, elements and source from the store's rows. A value the
// model writer refuses, a project with no elements or none with wires goes
// into geometryProblem instead of throwing.
PictureInput GeometryInput(const ProjectRow& project, ModelSource& source);

// The band the pictures are drawn over unless asked otherwise: F0 - 1.5 % to
// F0 + 1.5 % at 21 frequencies, wide enough for the SWR curve's shape.
FrequencySweep PictureBand(double f0);

// The figures at the frequency nearest f0; nullptr for an empty sweep.
const FrequencyFigures* FiguresNearest(const std::vector<FrequencyFigures>& sweep, double f0);

}  // namespace velkora
