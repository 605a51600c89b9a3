// SPDX-License-Identifier: GPL-3.0-or-later
// The Check window's worker threads: each design handed over stops the run
// before it, only the newest run's outcome comes back (on the owner's
// thread), and no run, nor its nec2c, outlives the object.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "CheckWork.h"

namespace velkora {

class CheckRuns : public QObject {
    Q_OBJECT
  public:
    using Done = std::function<void(CheckOutcome outcome)>;
    explicit CheckRuns(Done done, QObject* parent = nullptr);
    // Stops every run and waits for it.
    ~CheckRuns() override;

    // Checks the design on a new thread; an older run still going is told
    // to stop and its outcome is dropped.
    void Start(Design design);
    // Tells every run to stop; nothing more comes back.
    void StopAll();
    bool Running() const { return running_; }

  private:
    struct Run {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    void Finish(std::uint64_t generation, CheckOutcome outcome);
    void JoinEnded();

    Done done_;
    std::vector<Run> runs_;
    std::uint64_t generation_ = 0;
    bool running_ = false;
};

}  // namespace velkora
