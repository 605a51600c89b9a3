// Runs the NEC-2 engine nec2c (Debian package nec2c) on a deck.
#pragma once

#include <functional>
#include <string>

namespace velkora {

// Writes deck to a temporary folder, runs nec2c once and returns its report.
// While nec2c runs, progress is told every second how many frequencies the
// report holds so far. Throws Failure when nec2c is not on PATH or refuses
// the deck (with nec2c's own message).
std::string RunNec2c(const std::string& deck, const std::function<void(int done)>& progress);

}  // namespace velkora
