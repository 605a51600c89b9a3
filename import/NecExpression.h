// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of a NEC-2 deck's symbols (SY cards): numbers, symbols,
// + - * / ^ and parentheses.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace velkora {

// Symbol names are read without regard to letter case; the map holds them
// in lower case.
using NecSymbols = std::map<std::string, double>;

// The value of an expression. Throws Failure saying what is wrong: an
// unknown symbol, a function, a division by zero, a malformed expression.
double EvaluateNec(std::string_view expression, const NecSymbols& symbols);

}  // namespace velkora
