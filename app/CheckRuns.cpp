// SPDX-License-Identifier: GPL-3.0-or-later
// Starting, stopping and joining the Check window's runs.
#include "CheckRuns.h"

#include <QMetaObject>

namespace velkora {

CheckRuns::CheckRuns(Done done, QObject* parent) : QObject(parent), done_(std::move(done)) {}

CheckRuns::~CheckRuns() {
    StopAll();
    for (Run& run : runs_) run.thread.join();
}

void CheckRuns::Start(Design design) {
    StopAll();
    JoinEnded();
    const std::uint64_t generation = ++generation_;
    Run run{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    run.thread = std::thread(
        [this, design = std::move(design), stop = run.stop, ended = run.ended, generation] {
            RunControl control;
            control.stopRequested = [stop] { return stop->load(); };
            try {
                auto outcome = std::make_shared<CheckOutcome>(CheckDesign(design, control));
                // Queued to this object's thread; dropped with the object, which
                // joins this thread before it goes.
                QMetaObject::invokeMethod(
                    this, [this, generation, outcome] { Finish(generation, std::move(*outcome)); },
                    Qt::QueuedConnection);
            } catch (const Stopped&) {
                // A newer design or the window's closing asked for it: nothing to show.
            }
            ended->store(true);
        });
    runs_.push_back(std::move(run));
    running_ = true;
}

void CheckRuns::StopAll() {
    for (Run& run : runs_) run.stop->store(true);
    ++generation_;
    running_ = false;
}

void CheckRuns::Finish(std::uint64_t generation, CheckOutcome outcome) {
    JoinEnded();
    if (generation != generation_) return;
    running_ = false;
    done_(std::move(outcome));
}

void CheckRuns::JoinEnded() {
    std::erase_if(runs_, [](Run& run) {
        if (!run.ended->load()) return false;
        run.thread.join();
        return true;
    });
}

}  // namespace velkora
