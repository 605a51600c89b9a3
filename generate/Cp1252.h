// SPDX-License-Identifier: GPL-3.0-or-later
// Text for the model files: the modelling programs read Windows-1252, the
// store holds UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velkora {

// Appends utf8 to out in Windows-1252. A character that code page cannot hold
// becomes "?", and so does every ill-formed part of the input (one "?" per
// maximal ill-formed subsequence, as Unicode recommends). The C1 control
// characters U+0080 to U+009F count as not held: Windows-1252 uses those bytes
// for printable characters or leaves them undefined.
void AppendCp1252(std::string& out, std::string_view utf8);

std::string ToCp1252(std::string_view utf8);

// The Windows-1252 byte of one character, or nothing when the code page
// cannot hold it (the C1 controls included, as above).
std::optional<char> Cp1252Byte(char32_t code);

// The character a Windows-1252 byte stands for. The five bytes the code page
// leaves unassigned stand for the C1 controls of their value, as the system's
// converter reads them.
char32_t Cp1252Char(unsigned char byte);

}  // namespace velkora
