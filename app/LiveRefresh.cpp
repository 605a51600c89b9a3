// SPDX-License-Identifier: GPL-3.0-or-later
// Re-reads the window's tables when the store changed elsewhere and the window is idle.
#include "LiveRefresh.h"

#include "ProjectStore.h"
#include "VelkoraApplication.h"

namespace velkora {

LiveRefresh::LiveRefresh(ProjectStore& store, std::function<bool()> idle,
                         std::function<void()> reread, QObject* parent)
    : QObject(parent), store_(store), idle_(std::move(idle)), reread_(std::move(reread)) {
    connect(&timer_, &QTimer::timeout, this, &LiveRefresh::Check);
    // Another copy's post is shown at once, not at the next check.
    connect(&store_, &ProjectStore::ChangeAnnounced, this, &LiveRefresh::Check,
            Qt::QueuedConnection);
}

void LiveRefresh::Start() {
    timer_.start(store_.ChangeCheckInterval());
    pending_ = false;
}

// A change seen while a row is edited or a list is open waits for the window
// to be idle: nothing the user is doing is disturbed.
void LiveRefresh::Check() {
    try {
        if (store_.ChangedElsewhere()) pending_ = true;
        if (pending_ && idle_()) {
            reread_();
            pending_ = false;
        }
        failing_ = false;
    } catch (...) {
        // Said once, not at every check while the store stays out of reach.
        if (!failing_) ReportLater(std::current_exception());
        failing_ = true;
    }
}

}  // namespace velkora
