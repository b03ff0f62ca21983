#pragma once

// The arithmetic of {expression} values in netlists, as ngspice evaluates
// them: numbers with SPICE suffixes, parameter names, + - * / and ^ or **
// (power, right to left), parentheses, comparisons (1 for true, 0 for
// false), && || !, c ? a : b, and the functions sqrt exp log (natural)
// log10 pow min max abs. Parsed once, evaluated as often as the controls
// move.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cva {

class TExpression {
public:
    struct TNode;
    // Throws CorvantaError saying what is wrong and where in the text.
    static TExpression Parse(std::string_view text);

    // 'variable' gives the value of each name the expression uses; the
    // result may be any double, the caller judges it.
    double Evaluate(const std::function<double(std::string_view)> &variable) const;
    // The names the expression uses, lower case, each once.
    std::vector<std::string> Variables() const;
    const std::string &Text() const { return Source; }

private:
    std::shared_ptr<const TNode> Root;
    std::string Source;
};

} // namespace cva
