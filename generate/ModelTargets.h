// SPDX-License-Identifier: GPL-3.0-or-later
// The programs a model can be written for, one row each: the name a user
// types, the extension of the file, the save dialog's filter and the writer.
// The window offers the rows marked inWindow; velkora-cli offers all.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ModelWriters.h"
#include "NecDeck.h"

namespace velkora {

enum class OutputTarget { Mmana, EzNec, Nec };

struct ModelTarget {
    OutputTarget target;
    std::string_view name;       // as typed after --target
    std::string_view extension;  // appended to a chosen file name
    std::string_view filter;     // the save dialog's "description|pattern"
    bool inWindow;
    // The NEC-2 options matter only to the NEC-2 writer. Throws Failure.
    void (*write)(const std::string& path, const ModelJob& job, const NecOptions& options);
};

// In the order of the save dialog's filter list.
std::span<const ModelTarget> ModelTargets();

// The row of target; every OutputTarget has one.
const ModelTarget& TargetRow(OutputTarget target);

// The save dialog's filter list of the window: the filters of the rows
// marked inWindow, in table order, joined by "|".
std::string WindowFilter();
// The 1-based position of target's filter in WindowFilter().
int WindowFilterIndex(OutputTarget target);

// The row whose name is name (letter case ignored), or nullptr.
const ModelTarget* FindTarget(std::string_view name);

}  // namespace velkora
