// SPDX-License-Identifier: GPL-3.0-or-later
// The place of the source as MMANA names it in SOURCE_WIRE: "w10c" is the
// middle segment of wire 10, "w10b" its first and "w10e" its last segment.
#pragma once

#include <string>

namespace velkora {

enum class WirePlace { First, Middle, Last };

struct SourceWire {
    int wire;  // the MMANA wire number, from 1
    WirePlace place;
};

// Letter case and surrounding blanks do not matter. Throws Failure with a
// message that shows the expected form.
SourceWire ParseSourceWire(const std::string& text);

}  // namespace velkora
