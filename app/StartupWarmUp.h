// SPDX-License-Identifier: GPL-3.0-or-later
// Prepares, on a thread of its own, what the window needs next while the
// window's widgets are being built: the text engine of the window's font and
// the SQLite driver of the store.
#pragma once

#include <thread>

namespace velkora {

class StartupWarmUp {
  public:
    // Needs the application object: the font database belongs to its platform.
    StartupWarmUp();
    ~StartupWarmUp();
    StartupWarmUp(const StartupWarmUp&) = delete;
    StartupWarmUp& operator=(const StartupWarmUp&) = delete;

  private:
    std::thread thread_;
};

}  // namespace velkora
