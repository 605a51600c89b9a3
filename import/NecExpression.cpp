// SPDX-License-Identifier: GPL-3.0-or-later
// A recursive-descent reader of NEC-2 symbol expressions.
#include "NecExpression.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "Failure.h"
#include "SourceText.h"

namespace velkora {

namespace {

bool NameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Parser {
  public:
    Parser(std::string_view text, const NecSymbols& symbols) : text_(text), symbols_(symbols) {}

    double Whole() {
        const double value = Sum();
        if (pos_ != text_.size()) Fail("\"" + std::string(text_.substr(pos_)) + "\" is left over");
        if (!std::isfinite(value)) Fail("the value is not finite");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw Failure("the expression \"" + std::string(text_) + "\" cannot be read: " + what);
    }
    bool Eat(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
        return false;
    }
    double Sum() {
        double value = Product();
        for (;;) {
            if (Eat('+'))
                value += Product();
            else if (Eat('-'))
                value -= Product();
            else
                return value;
        }
    }
    double Product() {
        double value = Signed();
        for (;;) {
            if (Eat('*')) {
                value *= Signed();
            } else if (Eat('/')) {
                const double divisor = Signed();
                if (divisor == 0) Fail("a division by zero");
                value /= divisor;
            } else {
                return value;
            }
        }
    }
    double Signed() {
        if (Eat('-')) return -Signed();
        if (Eat('+')) return Signed();
        const double base = Primary();
        return Eat('^') ? std::pow(base, Signed()) : base;
    }
    double Primary();

    std::string_view text_;
    const NecSymbols& symbols_;
    std::size_t pos_ = 0;
};

double Parser::Primary() {
    if (Eat('(')) {
        const double value = Sum();
        if (!Eat(')')) Fail("a \")\" is missing");
        return value;
    }
    const std::size_t from = pos_;
    if (pos_ < text_.size() &&
        (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.')) {
        double value = 0;
        const auto [end, error] =
            std::from_chars(text_.data() + pos_, text_.data() + text_.size(), value);
        if (error != std::errc()) Fail("a number is malformed");
        pos_ = static_cast<std::size_t>(end - text_.data());
        return value;
    }
    while (pos_ < text_.size() && NameChar(text_[pos_])) ++pos_;
    const std::string name = LowerCase(text_.substr(from, pos_ - from));
    if (name.empty())
        Fail(pos_ < text_.size() ? "\"" + std::string(1, text_[pos_]) + "\" is unexpected"
                                 : "it ends too early");
    if (pos_ < text_.size() && text_[pos_] == '(')
        Fail("the function " + name + "() is not read; only + - * / ^ and parentheses are");
    const auto found = symbols_.find(name);
    if (found == symbols_.end()) Fail("the symbol " + name + " is not defined");
    return found->second;
}

}  // namespace

double EvaluateNec(std::string_view expression, const NecSymbols& symbols) {
    return Parser(expression, symbols).Whole();
}

}  // namespace velkora
