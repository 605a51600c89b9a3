// SPDX-License-Identifier: GPL-3.0-or-later
// Loads, on a thread of its own, the SQLite driver of the store while the
// window's widgets are being built, and runs its first statement.
#pragma once

#include <thread>

namespace velkora {

class StartupWarmUp {
  public:
    // Needs the application object: the driver is one of its plugins.
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

  private:
    std::thread thread_;
};

}  // namespace velkora
