// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTargets.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace velkora {

namespace {

void Mmana(const std::string& path, const ModelJob& job, const NecOptions&) {
    WriteMmanaModel(path, job);
}

void EzNec(const std::string& path, const ModelJob& job, const NecOptions&) {
    WriteEzNecModel(path, job);
}

constexpr ModelTarget kTargets[] = {
    {OutputTarget::EzNec, "eznec", ".txt", "Text File (EZNec)|*.txt", true, EzNec},
    {OutputTarget::Mmana, "mmana", ".maa", "MMAna File|*.maa", true, Mmana},
    {OutputTarget::Nec, "nec", ".nec", "NEC-2 Deck|*.nec", false, WriteNecModel},
};

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::span<const ModelTarget> ModelTargets() { return kTargets; }

const ModelTarget& TargetRow(OutputTarget target) {
    for (const ModelTarget& row : kTargets)
        if (row.target == target) return row;
    throw std::logic_error("an output target without a row in the target table");
}

std::string WindowFilter() {
    std::string filter;
    for (const ModelTarget& row : kTargets) {
        if (!row.inWindow) continue;
        if (!filter.empty()) filter += '|';
        filter += row.filter;
    }
    return filter;
}

int WindowFilterIndex(OutputTarget target) {
    int index = 0;
    for (const ModelTarget& row : kTargets) {
        if (row.inWindow) ++index;
        if (row.target == target) return index;
    }
    throw std::logic_error("an output target without a row in the target table");
}

const ModelTarget* FindTarget(std::string_view name) {
    for (const ModelTarget& row : kTargets)
        if (SameName(row.name, name)) return &row;
    return nullptr;
}

}  // namespace velkora
