// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows-1252 encoder on any bytes: one byte out for each character or
// ill-formed part in, so never more bytes than came in, and ASCII unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view utf8(reinterpret_cast<const char*>(data), size);
    const std::string text = velkora::ToCp1252(utf8);
    if (text.size() > utf8.size()) std::abort();
    std::string appended = "x";
    velkora::AppendCp1252(appended, utf8);
    if (appended != "x" + text) std::abort();
    bool ascii = true;
    for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii && text != utf8) std::abort();
    return 0;
}
