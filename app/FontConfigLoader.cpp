#include "FontConfigLoader.h"

#include <fontconfig/fontconfig.h>

namespace velkora {

FontConfigLoader::FontConfigLoader() : thread_([] { FcInit(); }) {}

FontConfigLoader::~FontConfigLoader() { Wait(); }

void FontConfigLoader::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace velkora
