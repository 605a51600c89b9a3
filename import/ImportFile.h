// SPDX-License-Identifier: GPL-3.0-or-later
// A design file read whole: its format from the caller, its extension or
// its content, then the reader of that format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ImportedDesign.h"

namespace velkora {

enum class ImportFormat { Maa, Yo, Nec };

// "maa", "yag" or "nec" (as --format names them), or nothing.
std::optional<ImportFormat> ImportFormatNamed(std::string_view name);

// The design in bytes read from path (named in messages). Throws Failure
// whose place is "PATH:LINE" for what the file holds, "PATH" when its
// format cannot be told.
ImportedDesign ReadDesign(const std::string& path, std::string_view bytes,
                          std::optional<ImportFormat> format);

// The same, reading the file first (a failure to read names the path).
ImportedDesign ReadDesignFile(const std::string& path, std::optional<ImportFormat> format);

}  // namespace velkora
