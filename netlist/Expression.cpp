#include "netlist/Expression.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "components/MessageQuote.h"
#include "netlist/SpiceNumber.h"
#include "numerics/Error.h"

namespace cva {

enum class TOp { Number, Variable, Negate, Not, Add, Subtract, Multiply, Divide, Power, Less, LessEqual, Greater,
                 GreaterEqual, Equal, NotEqual, And, Or, Choose, Call };

struct TExpression::TNode {
    TOp Op = TOp::Number;
    double Number = 0;
    std::string Name; // variable or function, lower case
    std::vector<std::shared_ptr<const TNode>> Args;
    int Height = 1; // the longest path down to a leaf, this node counted
};

namespace {

using TNodePtr = std::shared_ptr<const TExpression::TNode>;

struct TFunction {
    const char *Name;
    int Arity;
};
constexpr TFunction Functions[] = {{"sqrt", 1}, {"exp", 1}, {"log", 1}, {"log10", 1}, {"abs", 1},
                                   {"pow", 2},  {"min", 2}, {"max", 2}};

std::string Lowered(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Recursive descent, one function per precedence level, loosest first.
class TParser {
public:
    explicit TParser(std::string_view text) : Text(text) {}

    TNodePtr Whole()
    {
        TNodePtr root = Conditional();
        SkipBlanks();
        if (At < Text.size())
            Fail("unexpected \"" + std::string(Text.substr(At, 1)) + "\"");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string &what) const
    {
        throw CorvantaError("cannot read the expression {" + Excerpt(Text) + "}: " + what);
    }

    void SkipBlanks()
    {
        while (At < Text.size() && std::isspace(static_cast<unsigned char>(Text[At])))
            ++At;
    }

    bool Take(std::string_view token)
    {
        SkipBlanks();
        if (Text.substr(At, token.size()) != token)
            return false;
        At += token.size();
        return true;
    }

    void Expect(std::string_view token)
    {
        if (!Take(token))
            Fail("\"" + std::string(token) + "\" expected");
    }

    // Each nesting costs stack; a text nested absurdly deep is refused
    // rather than allowed to exhaust it.
    struct TNesting {
        explicit TNesting(TParser &parser) : Parser(parser)
        {
            if (++Parser.Depth > MaxDepth)
                Parser.Fail("nested more than " + std::to_string(MaxDepth) + " deep");
        }
        ~TNesting() { --Parser.Depth; }
        TParser &Parser;
    };
    static constexpr int MaxDepth = 200;

    // Evaluating, listing and freeing the tree each descend it, so its height
    // is bounded as well: "1+1+...+1" nests no brackets but makes a tree as
    // tall as it is long. A parameter's value descends into the trees of the
    // parameters it uses, up to a hundred of them.
    TNodePtr Make(TOp op, std::vector<TNodePtr> args, std::string name = {}, double number = 0) const
    {
        auto node = std::make_shared<TExpression::TNode>();
        for (const TNodePtr &arg : args)
            node->Height = std::max(node->Height, arg->Height + 1);
        if (node->Height > MaxDepth)
            Fail("more than " + std::to_string(MaxDepth) + " operations one inside another");
        node->Op = op;
        node->Args = std::move(args);
        node->Name = std::move(name);
        node->Number = number;
        return node;
    }

    TNodePtr Conditional()
    {
        const TNesting nesting(*this);
        TNodePtr condition = Or();
        if (!Take("?"))
            return condition;
        TNodePtr yes = Conditional();
        Expect(":");
        TNodePtr no = Conditional();
        return Make(TOp::Choose, {condition, yes, no});
    }

    TNodePtr Or()
    {
        TNodePtr left = And();
        while (Take("||"))
            left = Make(TOp::Or, {left, And()});
        return left;
    }

    TNodePtr And()
    {
        TNodePtr left = Comparison();
        while (Take("&&"))
            left = Make(TOp::And, {left, Comparison()});
        return left;
    }

    TNodePtr Comparison()
    {
        TNodePtr left = Sum();
        for (;;) {
            // Two-character operators before their one-character prefixes.
            static constexpr std::pair<std::string_view, TOp> ops[] = {
                {"<=", TOp::LessEqual}, {">=", TOp::GreaterEqual}, {"==", TOp::Equal}, {"!=", TOp::NotEqual},
                {"<", TOp::Less},       {">", TOp::Greater}};
            const auto found = std::find_if(std::begin(ops), std::end(ops), [&](const auto &op) { return Take(op.first); });
            if (found == std::end(ops))
                return left;
            left = Make(found->second, {left, Sum()});
        }
    }

    TNodePtr Sum()
    {
        TNodePtr left = Product();
        for (;;) {
            if (Take("+"))
                left = Make(TOp::Add, {left, Product()});
            else if (Take("-"))
                left = Make(TOp::Subtract, {left, Product()});
            else
                return left;
        }
    }

    TNodePtr Product()
    {
        TNodePtr left = Unary();
        for (;;) {
            if (Take("*"))
                left = Make(TOp::Multiply, {left, Unary()});
            else if (Take("/"))
                left = Make(TOp::Divide, {left, Unary()});
            else
                return left;
        }
    }

    TNodePtr Unary()
    {
        const TNesting nesting(*this);
        if (Take("-"))
            return Make(TOp::Negate, {Unary()});
        if (Take("+"))
            return Unary();
        if (Take("!"))
            return Make(TOp::Not, {Unary()});
        return Power();
    }

    TNodePtr Power()
    {
        TNodePtr base = Primary();
        if (Take("**") || Take("^"))
            return Make(TOp::Power, {base, Unary()});
        return base;
    }

    TNodePtr Primary()
    {
        SkipBlanks();
        if (Take("(")) {
            TNodePtr inner = Conditional();
            Expect(")");
            return inner;
        }
        if (At >= Text.size())
            Fail("the expression ends too early");
        if (const auto number = ReadSpiceNumber(Text.substr(At))) {
            At += number->Length;
            return Make(TOp::Number, {}, {}, number->Value);
        }
        if (!IsNameStart(Text[At]))
            Fail("unexpected \"" + std::string(Text.substr(At, 1)) + "\"");
        const std::size_t start = At;
        while (At < Text.size() && IsNameChar(Text[At]))
            ++At;
        std::string name = Lowered(Text.substr(start, At - start));
        if (!Take("("))
            return Make(TOp::Variable, {}, std::move(name));
        const auto function = std::find_if(std::begin(Functions), std::end(Functions),
                                           [&](const TFunction &f) { return name == f.Name; });
        if (function == std::end(Functions))
            Fail("unknown function " + name);
        std::vector<TNodePtr> args{Conditional()};
        while (Take(","))
            args.push_back(Conditional());
        Expect(")");
        if (int(args.size()) != function->Arity)
            Fail(name + " takes " + std::to_string(function->Arity) + " argument" + (function->Arity > 1 ? "s" : ""));
        return Make(TOp::Call, std::move(args), std::move(name));
    }

    std::string_view Text;
    std::size_t At = 0;
    int Depth = 0;
};

double Call(const std::string &name, double a, double b)
{
    if (name == "sqrt") return std::sqrt(a);
    if (name == "exp") return std::exp(a);
    if (name == "log") return std::log(a);
    if (name == "log10") return std::log10(a);
    if (name == "abs") return std::fabs(a);
    if (name == "pow") return std::pow(a, b);
    if (name == "min") return std::min(a, b);
    return std::max(a, b);
}

double Evaluate(const TExpression::TNode &node, const std::function<double(std::string_view)> &variable)
{
    const auto arg = [&](std::size_t i) { return Evaluate(*node.Args[i], variable); };
    switch (node.Op) {
    case TOp::Number: return node.Number;
    case TOp::Variable: return variable(node.Name);
    case TOp::Negate: return -arg(0);
    case TOp::Not: return arg(0) == 0 ? 1 : 0;
    case TOp::Add: return arg(0) + arg(1);
    case TOp::Subtract: return arg(0) - arg(1);
    case TOp::Multiply: return arg(0) * arg(1);
    case TOp::Divide: return arg(0) / arg(1);
    case TOp::Power: return std::pow(arg(0), arg(1));
    case TOp::Less: return arg(0) < arg(1) ? 1 : 0;
    case TOp::LessEqual: return arg(0) <= arg(1) ? 1 : 0;
    case TOp::Greater: return arg(0) > arg(1) ? 1 : 0;
    case TOp::GreaterEqual: return arg(0) >= arg(1) ? 1 : 0;
    case TOp::Equal: return arg(0) == arg(1) ? 1 : 0;
    case TOp::NotEqual: return arg(0) != arg(1) ? 1 : 0;
    case TOp::And: return arg(0) != 0 && arg(1) != 0 ? 1 : 0;
    case TOp::Or: return arg(0) != 0 || arg(1) != 0 ? 1 : 0;
    case TOp::Choose: return arg(0) != 0 ? arg(1) : arg(2);
    case TOp::Call: return Call(node.Name, arg(0), node.Args.size() > 1 ? arg(1) : 0);
    }
    return 0;
}

void CollectVariables(const TExpression::TNode &node, std::vector<std::string> &names)
{
    if (node.Op == TOp::Variable && std::find(names.begin(), names.end(), node.Name) == names.end())
        names.push_back(node.Name);
    for (const TNodePtr &arg : node.Args)
        CollectVariables(*arg, names);
}

} // namespace

TExpression TExpression::Parse(std::string_view text)
{
    TExpression expression;
    expression.Source = std::string(text);
    expression.Root = TParser(text).Whole();
    return expression;
}

double TExpression::Evaluate(const std::function<double(std::string_view)> &variable) const
{
    return cva::Evaluate(*Root, variable);
}

std::vector<std::string> TExpression::Variables() const
{
    std::vector<std::string> names;
    CollectVariables(*Root, names);
    return names;
}

} // namespace cva
