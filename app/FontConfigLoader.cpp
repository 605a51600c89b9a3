// SPDX-License-Identifier: GPL-3.0-or-later
#include "FontConfigLoader.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace velkora {

FontConfigLoader::FontConfigLoader() {
    try {
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // Without a thread the toolkit loads the configuration itself, later.
    }
}

FontConfigLoader::~FontConfigLoader() { Wait(); }

void FontConfigLoader::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace velkora
