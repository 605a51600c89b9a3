// SPDX-License-Identifier: GPL-3.0-or-later
// Signals that would end a program while nec2c runs become a request to
// stop, so that the run kills nec2c and removes its files first.
#pragma once

#include <csignal>
#include <iterator>
#include <string>

namespace velkora {

// While it lives, SIGINT, SIGTERM and SIGHUP, where the program leaves them
// at their default, are caught and ask to stop (the rule the model writer
// follows for its temporary file), and SIGPIPE is ignored, so a write to a
// pipe nobody reads fails instead of ending the program. Requested() also
// turns true when the reader of the watched descriptor (a pipe) goes away.
// One at a time: the signals are the whole program's.
class StopOnSignals {
  public:
    explicit StopOnSignals(int watchedOutput);
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
    ~StopOnSignals();

    bool Requested() const;
    // What asked to stop, for a message: "SIGTERM", or "a closed output pipe".
    std::string Reason() const;

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    int watched_;
    struct sigaction saved_[std::size(kSignals)] = {};
    bool taken_[std::size(kSignals)] = {};
};

}  // namespace velkora
