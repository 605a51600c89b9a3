// SPDX-License-Identifier: GPL-3.0-or-later
// One reader per file format. Each reads the whole file or refuses it with
// "FILE:LINE: what is wrong" (a Failure whose place is FILE:LINE). The text
// holds a line that is not blank: ReadDesign refuses an empty file first.
#pragma once

#include "ImportedDesign.h"
#include "SourceText.h"

namespace velkora {

// MMANA .maa: title, frequency, wires, source, loads, segmentation, ground.
ImportedDesign ReadMaa(const SourceText& text);
// Yagi Optimizer .yag/.ant/.yo: options, frequency, taper and length lines.
ImportedDesign ReadYo(const SourceText& text);
// NEC-2 deck: GW, GC, GS, GM, GE, GN, EX, FR and SY cards.
ImportedDesign ReadNec(const SourceText& text);

}  // namespace velkora
