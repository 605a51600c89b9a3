// SPDX-License-Identifier: GPL-3.0-or-later
// Loads the system's font configuration on a thread of its own while the
// application connects to the display. The window's first text needs it, and
// reading it (dozens of XML files) takes about as long as the connection.
#pragma once

#include <thread>

namespace velkora {

class FontConfigLoader {
  public:
    FontConfigLoader();
    ~FontConfigLoader();
    FontConfigLoader(const FontConfigLoader&) = delete;
    FontConfigLoader& operator=(const FontConfigLoader&) = delete;

    // Waits until the configuration is loaded, so that the toolkit finds it
    // ready instead of loading a second copy alongside.
    void Wait();

  private:
    std::thread thread_;
};

}  // namespace velkora
