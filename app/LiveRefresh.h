// SPDX-License-Identifier: GPL-3.0-or-later
// Shows what other copies and tools commit to the store while the window is idle.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace velkora {

class ProjectStore;

class LiveRefresh : public QObject {
    Q_OBJECT
  public:
    // `idle` says whether the tables may be read again now (nothing being
    // edited, no list open); `reread` reads them again as F5 does.
    LiveRefresh(ProjectStore& store, std::function<bool()> idle, std::function<void()> reread,
                QObject* parent = nullptr);
    // Checks the store from now on, as often as its engine makes worth it.
    void Start();

  private:
    void Check();

    ProjectStore& store_;
    std::function<bool()> idle_;
    std::function<void()> reread_;
    QTimer timer_;
    bool pending_ = false;  // a change seen while the window was busy
    bool failing_ = false;  // a failure was shown; quiet until a check succeeds
};

}  // namespace velkora
