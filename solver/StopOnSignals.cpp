// SPDX-License-Identifier: GPL-3.0-or-later
// Catches the ending signals into a flag that a waiting run polls.
#include "StopOnSignals.h"

#include <poll.h>

namespace velkora {

namespace {

volatile std::sig_atomic_t caught = 0;  // the signal's number, 0 before any

extern "C" void Catch(int number) { caught = number; }

bool ReaderGone(int fd) {
    pollfd output{fd, POLLOUT, 0};
    return ::poll(&output, 1, 0) > 0 && (output.revents & POLLERR) != 0;
}

}  // namespace

StopOnSignals::StopOnSignals(int watchedOutput) : watched_(watchedOutput) {
    caught = 0;
    struct sigaction handler {};
    sigemptyset(&handler.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (::sigaction(kSignals[i], nullptr, &saved_[i]) != 0) continue;
        if ((saved_[i].sa_flags & SA_SIGINFO) != 0 || saved_[i].sa_handler != SIG_DFL) continue;
        handler.sa_handler = kSignals[i] == SIGPIPE ? SIG_IGN : Catch;
        taken_[i] = ::sigaction(kSignals[i], &handler, nullptr) == 0;
    }
}

StopOnSignals::~StopOnSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        if (taken_[i]) ::sigaction(kSignals[i], &saved_[i], nullptr);
}

bool StopOnSignals::Requested() const { return caught != 0 || ReaderGone(watched_); }

std::string StopOnSignals::Reason() const {
    switch (caught) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "a closed output pipe";
    }
}

}  // namespace velkora
