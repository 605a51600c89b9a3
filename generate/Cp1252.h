// Text for the model files: the modelling programs read Windows-1252, the
// store holds UTF-8.
#pragma once

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

}  // namespace velkora
