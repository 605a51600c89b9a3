// SPDX-License-Identifier: GPL-3.0-or-later
// The wires of every element of a project read from the fuzzer's bytes (see
// FuzzProject.h) over its schedule. A value that does not convert is an
// ordinary failure.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Failure.h"
#include "FuzzProject.h"
#include "TaperWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velkora::fuzz::FuzzProject input(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const velkora::ElementRow& element : input.source.elements) {
        try {
            velkora::WalkElement(element, input.source.SectionsOfSchedule(element.idTaper),
                                 input.axis);
        } catch (const velkora::Failure&) {
        }
    }
    return 0;
}
