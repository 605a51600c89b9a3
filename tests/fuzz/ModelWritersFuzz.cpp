// SPDX-License-Identifier: GPL-3.0-or-later
// Both model writers on a project read from the fuzzer's bytes (see
// FuzzProject.h). A value that does not convert is an ordinary failure.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Failure.h"
#include "FuzzProject.h"
#include "ModelWriters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velkora::fuzz::FuzzProject input(std::string_view(reinterpret_cast<const char*>(data), size));
    const velkora::ModelJob job{input.project, input.source, input.axis, input.marks};
    try {
        velkora::MmanaModelText(job);
    } catch (const velkora::Failure&) {
    }
    try {
        velkora::EzNecModelText(job);
    } catch (const velkora::Failure&) {
    }
    return 0;
}
