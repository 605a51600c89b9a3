// SPDX-License-Identifier: GPL-3.0-or-later
// What the Check window shows of one design: read from the store on the
// window's thread as plain data, worked out from that data on a worker.
#pragma once

#include <QStringList>
#include <optional>

#include "Design.h"
#include "Nec2cRun.h"
#include "PictureInput.h"

namespace velkora {

class ProjectStore;

// The current project with its elements and their schedules' sections, from
// one state of the store; empty when there is no current project. Throws
// StoreError.
std::optional<Design> ReadCurrentDesign(ProjectStore& store);

// Whether two readings hold the same values, so nothing needs working out again.
bool SameDesign(const Design& a, const Design& b);

struct CheckOutcome {
    PictureInput input;  // the geometry, the figures over the band, and what could not be drawn
    QStringList warnings;
};

// The band the window solves: F0 +- 1.5 % at 5 frequencies, enough for
// the SWR curve's shape and quick enough to follow every posted change.
FrequencySweep CheckBand(double f0);

// The outcome of no project at all.
CheckOutcome NoProjectOutcome();

// Safe on any thread. The geometry always; the figures over CheckBand when
// nec2c can run, otherwise the reason in input.solveProblem. Throws Stopped
// when control asks to stop.
CheckOutcome CheckDesign(const Design& design, const RunControl& control);

}  // namespace velkora
