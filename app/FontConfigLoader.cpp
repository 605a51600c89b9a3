// SPDX-License-Identifier: GPL-3.0-or-later
#include "FontConfigLoader.h"

#include <fontconfig/fontconfig.h>
#include <pthread.h>
#include <sched.h>

#include <system_error>

namespace velkora {

FontConfigLoader::FontConfigLoader() {
    try {
        thread_ = std::thread([] {
            // Only on time no other thread wants: on two cores the display
            // server answers the application's many requests meanwhile, and
            // the application waits for each answer.
            const sched_param none{};
            pthread_setschedparam(pthread_self(), SCHED_IDLE, &none);
            FcInit();
        });
    } catch (const std::system_error&) {
        // Without a thread the toolkit loads the configuration itself, later.
    }
}

FontConfigLoader::~FontConfigLoader() { Wait(); }

void FontConfigLoader::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace velkora
