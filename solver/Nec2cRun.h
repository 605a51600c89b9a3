// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the NEC-2 engine nec2c (Debian package nec2c) on decks, side by side,
// each in its own process group, and never lets a run outlive the call.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Failure.h"

namespace velkora {

// How a caller steers a run while it waits for nec2c.
struct RunControl {
    // Asked several times a second on the calling thread; true ends the run
    // (nec2c is killed, its files removed) with Stopped.
    std::function<bool()> stopRequested;
    std::chrono::milliseconds timeout{std::chrono::seconds(300)};
    // Told about once a second how many frequencies the reports hold so far.
    std::function<void(int done)> progress;
};

// The run was ended because the caller asked for it.
class Stopped : public Failure {
  public:
    Stopped() : Failure("the run of nec2c was stopped") {}
};

// Writes every deck to one new temporary folder (in $TMPDIR, else /tmp),
// runs one nec2c per deck at the same time and returns their reports in the
// order of the decks. Every nec2c runs in a session and process group of its
// own, which is killed on every way out but success; the folder is removed on every way
// out. Throws Stopped, and Failure when nec2c is not on PATH, refuses a deck
// (with nec2c's own message) or takes longer than the time limit.
std::vector<std::string> RunNec2c(const std::vector<std::string>& decks, const RunControl& control);

}  // namespace velkora
