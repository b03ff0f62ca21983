#include "netlist/NetlistReader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <span>

#include "components/EngNotation.h"
#include "components/MessageQuote.h"
#include "components/Symbol.h"
#include "components/TaperLaw.h"
#include "netlist/Expression.h"
#include "netlist/NetlistError.h"
#include "netlist/SpiceNumber.h"

namespace cva {

namespace {

constexpr std::string_view DirectivePrefix = "*corvanta:";
constexpr int StartPosition = SliderMaximum / 2;
// Parameters defined through parameters: each step costs stack.
constexpr int MaxParameterNesting = 100;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

std::string Upper(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return upper;
}

// "linear, logA, logB, audio10, ..." as a pot card takes them.
std::string KnownTapers()
{
    std::string names;
    for (int taper = 0; taper <= LastKnownTaper; ++taper)
        names += (names.empty() ? "" : ", ") + TaperWord(std::uint8_t(taper));
    return names;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

struct TToken {
    std::string Text;
    TTextSpan Span;
};

// One card: its words with where each lies, from its first line and any '+' continuations.
struct TCard {
    int Line = 0; // 0-based first line
    std::vector<TToken> Words;
};

// Splits a physical line into words: blanks separate them, and so does '='
// (kept as a word of its own); {…}, '…' and (…) keep their blanks inside.
void SplitWords(std::string_view line, int lineIndex, std::size_t from, std::vector<TToken> &words)
{
    std::size_t at = from;
    while (at < line.size()) {
        const char c = line[at];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
            ++at;
            continue;
        }
        const std::size_t start = at;
        if (c == '=') {
            ++at;
        } else {
            int depth = 0;
            char quote = 0;
            while (at < line.size()) {
                const char d = line[at];
                if (quote) {
                    quote = d == quote ? 0 : quote;
                } else if (d == '\'') {
                    quote = d;
                } else if (d == '{' || d == '(') {
                    ++depth;
                } else if (d == '}' || d == ')') {
                    --depth;
                } else if (depth <= 0 && (std::isspace(static_cast<unsigned char>(d)) || d == '=' || d == ',')) {
                    break;
                }
                ++at;
            }
        }
        words.push_back({std::string(line.substr(start, at - start)), {lineIndex, start, at - start}});
    }
}

// The line without its end-of-line comment.
std::string_view WithoutComment(std::string_view line)
{
    const std::size_t semicolon = line.find(';');
    return semicolon == std::string_view::npos ? line : line.substr(0, semicolon);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (end == text.size())
            break;
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// A parsed element, before it becomes a part or a branch.
struct TElementCard {
    char Type = 0; // 'R', 'C', 'L', 'P'
    std::string Name;
    // The part it is on its page: the card's name, or on a built-in page its
    // page's name for it; empty for a resistor of the wiring.
    std::string Part;
    TElementKind Kind = TElementKind::Resistor;
    std::vector<std::string> Nodes; // as written
    std::optional<double> Value;    // a number or a constant expression
    std::optional<TExpression> ValueExpression;
    std::optional<TExpression> RserExpression;
    std::uint8_t Taper = PotLinear;
    std::string ControlLabel;
    int Line = 0;
    TNetlistLayout::TElement Layout;
};

struct TParameter {
    TExpression Definition;
    int Line = 0;
    TTextSpan ValueSpan;
};

// The .param definitions, and which of them are controls. Element values
// that follow a control evaluate through a shared copy of it.
class TParameterTable {
public:
    std::map<std::string, TParameter> Definitions;
    std::map<std::string, std::pair<int, double>> Controls; // name: control index, value in the file

    // A control's value at the position given, the file's value while the
    // control stands where the file put it (or when no positions are given).
    double Value(const std::string &name, std::span<const int> positions, int depth = 0) const
    {
        if (const auto control = Controls.find(name); control != Controls.end()) {
            const auto [index, fileValue] = control->second;
            if (positions.empty())
                return fileValue;
            const int position = positions[std::size_t(index)];
            return position == std::lround(fileValue * SliderMaximum) ? fileValue : double(position) / SliderMaximum;
        }
        const auto found = Definitions.find(name);
        if (found == Definitions.end())
            throw CorvantaError("unknown parameter " + name);
        if (depth > int(Definitions.size()))
            throw CorvantaError("the parameter " + name + " is defined through itself");
        if (depth > MaxParameterNesting)
            throw CorvantaError("the parameter " + name + " is defined through more than " +
                                std::to_string(MaxParameterNesting) + " others");
        return found->second.Definition.Evaluate(
            [&](std::string_view inner) { return Value(std::string(inner), positions, depth + 1); });
    }
};

class TReader {
public:
    TReader(std::string_view text, std::string_view file) : File(file) { Result.Layout.Lines = SplitLines(text); }

    TNetlistCircuit Read()
    {
        const auto &lines = Result.Layout.Lines;
        if (lines.empty())
            throw TNetlistError(File, 1, "the netlist is empty: its first line is the title, then the elements");
        std::string title = lines[0];
        title.erase(0, title.find_first_not_of(" \t*"));
        title.erase(title.find_last_not_of(" \t") + 1);
        Result.Page.TabCaption = title.empty() ? "Netlist" : title;
        Result.Page.PrintedName = Result.Page.TabCaption;
        Result.Page.PageOrder = 1000;
        for (const TCard &card : Cards())
            ReadCard(card);
        Finish();
        return std::move(Result);
    }

private:
    // The message quotes the file's words, which may be megabytes of junk
    // or hold escape sequences meant for a terminal.
    [[noreturn]] void Fail(int line, const std::string &message) const
    {
        throw TNetlistError(File, line + 1, ExcerptWords(message));
    }

    std::vector<TCard> Cards()
    {
        const auto &lines = Result.Layout.Lines;
        std::vector<TCard> cards;
        bool inControlBlock = false;
        int controlLine = 0;
        for (int i = 1; i < int(lines.size()); ++i) {
            std::string_view line = lines[std::size_t(i)];
            const std::size_t first = line.find_first_not_of(" \t");
            if (first == std::string_view::npos)
                continue;
            if (line[first] == '*') {
                if (StartsWithNoCase(line.substr(first), DirectivePrefix))
                    Directives.push_back(i);
                continue;
            }
            const std::string_view content = WithoutComment(line);
            const std::string lowered = Lower(content.substr(first));
            if (inControlBlock) {
                inControlBlock = !lowered.starts_with(".endc");
                continue;
            }
            if (lowered.starts_with(".control")) {
                inControlBlock = true;
                controlLine = i;
                continue;
            }
            if (lowered.starts_with(".end") && (lowered.size() == 4 || std::isspace(static_cast<unsigned char>(lowered[4])))) {
                Result.Layout.EndLine = i;
                break;
            }
            if (line[first] == '+') {
                if (cards.empty())
                    Fail(i, "a continuation line (+) with no card before it");
                SplitWords(content, i, first + 1, cards.back().Words);
                continue;
            }
            TCard card{i, {}};
            SplitWords(content, i, first, card.Words);
            if (!card.Words.empty())
                cards.push_back(std::move(card));
        }
        // Everything after it would be dropped without a word.
        if (inControlBlock)
            Fail(controlLine, "a .control block without .endc");
        return cards;
    }

    void ReadCard(const TCard &card)
    {
        const std::string first = Lower(card.Words[0].Text);
        if (first.front() == '.') {
            ReadDotCard(first, card);
            return;
        }
        switch (std::toupper(static_cast<unsigned char>(first.front()))) {
        case 'R':
        case 'C':
        case 'L':
            ReadTwoTerminal(card);
            break;
        case 'P':
            ReadPot(card);
            break;
        case 'V':
            ReadSource(card);
            break;
        default:
            Fail(card.Line, "unknown element " + card.Words[0].Text +
                                ": a netlist here holds only R, C, L, V and P (pot) elements");
        }
    }

    void ReadDotCard(const std::string &name, const TCard &card)
    {
        static const std::string_view ignored[] = {".ac", ".op", ".tran", ".options", ".option", ".temp", ".save",
                                                   ".title", ".width"};
        static const std::string_view refused[] = {".subckt", ".ends", ".include", ".inc", ".lib", ".model"};
        if (std::find(std::begin(ignored), std::end(ignored), name) != std::end(ignored))
            return;
        if (name == ".param") {
            ReadParameters(card);
        } else if (name == ".print" || name == ".plot" || name == ".probe") {
            ReadOutputCard(card);
        } else if (std::find(std::begin(refused), std::end(refused), name) != std::end(refused)) {
            Fail(card.Line, "the card " + card.Words[0].Text + " is not supported: the circuit must be written out "
                                                                 "element by element, with R, C, L, V and P only");
        } else {
            Fail(card.Line, "unknown card " + card.Words[0].Text);
        }
    }

    void ReadParameters(const TCard &card)
    {
        const auto &w = card.Words;
        std::size_t i = 1;
        if (i >= w.size())
            Fail(card.Line, ".param needs NAME=VALUE");
        while (i < w.size()) {
            if (i + 2 >= w.size() || w[i + 1].Text != "=")
                Fail(card.Line, ".param needs NAME=VALUE, not \"" + w[i].Text + "\"");
            const std::string name = Lower(w[i].Text);
            if (!std::isalpha(static_cast<unsigned char>(name.front())))
                Fail(card.Line, "the parameter name " + w[i].Text + " does not start with a letter");
            Params.Definitions.insert_or_assign(name, TParameter{ParseExpression(w[i + 2].Text, card.Line, name, true),
                                                          card.Line, w[i + 2].Span});
            ParameterSpelling.emplace(name, w[i].Text);
            i += 3;
        }
    }

    void ReadOutputCard(const TCard &card)
    {
        if (!OutputNode.empty())
            return;
        for (std::size_t i = 1; i < card.Words.size(); ++i) {
            const std::string word = Lower(card.Words[i].Text);
            const std::size_t open = word.find('(');
            if (word.front() != 'v' || open == std::string::npos || word.back() != ')')
                continue;
            std::string node = card.Words[i].Text.substr(open + 1, word.size() - open - 2);
            if (node.find(',') != std::string::npos)
                Fail(card.Line, "the output " + card.Words[i].Text + " is between two nodes; give one node, "
                                                                      "measured against ground");
            if (IsGround(node))
                Fail(card.Line, "the output " + card.Words[i].Text + " is ground, where nothing can be measured; "
                                                                     "give another node");
            OutputNode = node;
            OutputLine = card.Line;
            return;
        }
    }

    // A value field: a number with suffixes, or {expression} / 'expression'.
    TExpression ParseExpression(const std::string &text, int line, const std::string &what, bool bare)
    {
        std::string inner = text;
        if (text.size() >= 2 && ((text.front() == '{' && text.back() == '}') || (text.front() == '\'' && text.back() == '\'')))
            inner = text.substr(1, text.size() - 2);
        else if (!bare && !ParseSpiceValue(text))
            Fail(line, "the value of " + what + " cannot be read: \"" + text + "\"");
        try {
            return TExpression::Parse(inner);
        } catch (const CorvantaError &error) {
            Fail(line, "the value of " + what + ": " + error.what());
        }
    }

    void CheckName(const TCard &card)
    {
        const std::string name = Lower(card.Words[0].Text);
        if (!Names.emplace(name, card.Line).second)
            Fail(card.Line, "duplicate name " + card.Words[0].Text + " (first on line " +
                                std::to_string(Names[name] + 1) + ")");
    }

    // ngspice reads braces and quotes as expressions wherever they stand, so
    // a name or node with them would not run there, as written or exported.
    void CheckSpelling(const TCard &card, std::size_t nodes)
    {
        for (std::size_t i = 0; i <= nodes && i < card.Words.size(); ++i)
            if (card.Words[i].Text.find_first_of("{}'") != std::string::npos)
                Fail(card.Line, std::string(i == 0 ? "the name " : "the node ") + card.Words[i].Text +
                                    " may not hold braces or quotes, which SPICE reads as an expression");
    }

    void NeedWords(const TCard &card, std::size_t count, const std::string &form)
    {
        if (card.Words.size() < count)
            Fail(card.Line, card.Words[0].Text + " needs " + form);
    }

    void ReadTwoTerminal(const TCard &card)
    {
        CheckName(card);
        CheckSpelling(card, 2);
        const auto &w = card.Words;
        const char type = char(std::toupper(static_cast<unsigned char>(w[0].Text.front())));
        NeedWords(card, 4, "two nodes and a value: " + w[0].Text + " NODE1 NODE2 VALUE");
        TElementCard e;
        e.Type = type;
        e.Name = w[0].Text;
        e.Part = e.Name;
        e.Kind = type == 'R' ? TElementKind::Resistor : type == 'C' ? TElementKind::Capacitor : TElementKind::Inductor;
        e.Nodes = {Node(w[1].Text), Node(w[2].Text)};
        e.Line = card.Line;
        e.Layout = {e.Name, card.Line, w[3].Span, std::nullopt, std::nullopt};
        e.ValueExpression = ParseExpression(w[3].Text, card.Line, e.Name, false);
        for (std::size_t i = 4; i < w.size(); i += 3) {
            if (type == 'L' && Lower(w[i].Text) == "rser" && i + 2 < w.size() && w[i + 1].Text == "=") {
                e.RserExpression = ParseExpression(w[i + 2].Text, card.Line, e.Name + "'s Rser", false);
                e.Layout.Rser = w[i + 2].Span;
                continue;
            }
            Fail(card.Line, "unexpected \"" + w[i].Text + "\" after the value of " + e.Name +
                                (type == 'L' ? " (an inductor takes only Rser=VALUE)" : ""));
        }
        Elements.push_back(std::move(e));
    }

    void ReadPot(const TCard &card)
    {
        CheckName(card);
        CheckSpelling(card, 3);
        const auto &w = card.Words;
        TElementCard e;
        e.Type = 'P';
        e.Name = w[0].Text;
        e.Part = e.Name;
        e.Kind = TElementKind::Pot;
        e.Line = card.Line;
        // Nodes, then the value: the first word that reads as a value after three nodes.
        if (w.size() < 5 || w[4].Text == "=" || !ParseSpiceValueOrExpression(w[4].Text))
            Fail(card.Line, "the pot " + e.Name + " needs three nodes and a value: " + e.Name +
                                " LUG1 WIPER LUG3 VALUE [linear|logA|logB] [control=LABEL]");
        e.Nodes = {Node(w[1].Text), Node(w[2].Text), Node(w[3].Text)};
        e.Layout = {e.Name, card.Line, w[4].Span, std::nullopt, std::nullopt};
        e.ValueExpression = ParseExpression(w[4].Text, card.Line, e.Name, false);
        for (std::size_t i = 5; i < w.size(); ++i) {
            const std::string word = Lower(w[i].Text);
            if (word == "control" && i + 2 < w.size() && w[i + 1].Text == "=") {
                e.ControlLabel = w[i + 2].Text;
                // The label is written back in a "*corvanta: control" line, which must read again.
                if (std::any_of(e.ControlLabel.begin(), e.ControlLabel.end(), [](unsigned char c) {
                        return c < ' ' || c == 0x7f || std::string_view("(){}'\"").find(char(c)) != std::string_view::npos;
                    }))
                    Fail(card.Line, "the control label " + e.ControlLabel + " of the pot " + e.Name +
                                        " may not hold brackets, quotes or control characters");
                i += 2;
            } else if (const auto taper = word == "lin" ? std::optional<std::uint8_t>(PotLinear) : TaperFromName(word)) {
                e.Taper = *taper;
                e.Layout.Taper = w[i].Span;
            } else {
                Fail(card.Line, "unknown taper \"" + w[i].Text + "\" of the pot " + e.Name + " (" + KnownTapers() + ")");
            }
        }
        if (e.ControlLabel.empty())
            e.ControlLabel = e.Name;
        Elements.push_back(std::move(e));
    }

    static bool ParseSpiceValueOrExpression(const std::string &text)
    {
        return ParseSpiceValue(text) || text.front() == '{' || text.front() == '\'';
    }

    void ReadSource(const TCard &card)
    {
        CheckName(card);
        CheckSpelling(card, 2);
        const auto &w = card.Words;
        NeedWords(card, 3, "two nodes: " + w[0].Text + " IN 0 AC 1");
        if (!SourceName.empty())
            Fail(card.Line, "a second source " + w[0].Text + " (the first is " + SourceName + " on line " +
                                std::to_string(SourceLine + 1) + "): the circuit takes one");
        if (!IsGround(w[2].Text))
            Fail(card.Line, "the source " + w[0].Text + " must drive its node from ground: " + w[0].Text + " " +
                                w[1].Text + " 0 AC 1");
        if (IsGround(w[1].Text))
            Fail(card.Line, "the source " + w[0].Text + " drives ground");
        // "DC v", "AC mag [phase]" or a bare DC value: the curve is the
        // output over the source, whatever its level.
        for (std::size_t i = 3; i < w.size(); ++i) {
            const std::string word = Lower(w[i].Text);
            if (word != "dc" && word != "ac" && !ParseSpiceValue(w[i].Text))
                Fail(card.Line, "unexpected \"" + w[i].Text + "\" in the source " + w[0].Text +
                                    " (it takes DC and AC values only)");
        }
        SourceName = w[0].Text;
        SourceLine = card.Line;
        InputNode = Node(w[1].Text);
    }

    static bool IsGround(std::string_view node) { return node == "0" || Lower(node) == "gnd"; }

    // The name a node goes by: ground is "0", others as first written.
    std::string Node(const std::string &written)
    {
        if (IsGround(written))
            return "0";
        return NodeSpelling.emplace(Lower(written), written).first->second;
    }

    double ConstantValue(const TExpression &expression, int line, const std::string &what)
    {
        if (DependsOnControl(expression))
            Fail(line, what + " may not follow a control");
        return Evaluate(expression, line, what, {});
    }

    // The value where the controls stand, or the file's value when no
    // positions are given; one that is no finite number is an error.
    double Evaluate(const TExpression &expression, int line, const std::string &what, std::span<const int> positions)
    {
        const double value = EvaluateAnyNumber(expression, line, what, positions);
        if (!std::isfinite(value))
            Fail(line, "the value of " + what + " is not a finite number");
        return value;
    }

    double EvaluateAnyNumber(const TExpression &expression, int line, const std::string &what,
                             std::span<const int> positions)
    {
        // Every parameter, also one of a branch that the controls as they stand do not
        // take: moving a control must not meet an unknown name.
        std::vector<std::string> reached;
        Reach(expression, reached);
        for (const std::string &name : reached)
            if (!Params.Definitions.contains(name))
                Fail(line, "the value of " + what + ": unknown parameter " + name);
        double value = 0;
        try {
            value = expression.Evaluate([&](std::string_view name) { return Params.Value(std::string(name), positions); });
        } catch (const CorvantaError &error) {
            Fail(line, "the value of " + what + ": " + error.what());
        }
        return value;
    }

    // The parameters an expression reaches, through other parameters too.
    void Reach(const TExpression &expression, std::vector<std::string> &reached, int depth = 0) const
    {
        for (const std::string &name : expression.Variables()) {
            if (std::find(reached.begin(), reached.end(), name) != reached.end())
                continue;
            reached.push_back(name);
            if (const auto found = Params.Definitions.find(name);
                found != Params.Definitions.end() && depth < std::min(int(Params.Definitions.size()), MaxParameterNesting))
                Reach(found->second.Definition, reached, depth + 1);
        }
    }

    // A parameter that an element's value reaches, defined as a plain
    // number from 0 to 1, is a control.
    bool IsControlParameter(const std::string &name) const
    {
        const auto found = Params.Definitions.find(name);
        if (found == Params.Definitions.end() || !found->second.Definition.Variables().empty())
            return false;
        const double value = found->second.Definition.Evaluate([](std::string_view) { return 0.0; });
        return value >= 0 && value <= 1;
    }

    bool DependsOnControl(const TExpression &expression) const
    {
        std::vector<std::string> reached;
        Reach(expression, reached);
        return std::any_of(reached.begin(), reached.end(),
                           [&](const std::string &name) { return Params.Controls.contains(name); });
    }

    int ControlIndex(const std::string &label)
    {
        auto &controls = Result.Page.Controls;
        for (std::size_t c = 0; c < controls.size(); ++c)
            if (Lower(controls[c].Label) == Lower(label))
                return int(c);
        controls.push_back({label, {}});
        Result.Positions.push_back(StartPosition);
        return int(controls.size()) - 1;
    }

    void FindControls()
    {
        // Controls in the order the file first names them: .param cards and pots by line.
        std::vector<std::pair<int, std::string>> parameterControls;
        std::vector<std::string> reached;
        for (const TElementCard &e : Elements)
            Reach(*e.ValueExpression, reached);
        for (const std::string &name : reached)
            if (IsControlParameter(name))
                parameterControls.emplace_back(Params.Definitions.at(name).Line, name);
        std::vector<std::pair<int, const TElementCard *>> pots;
        for (const TElementCard &e : Elements)
            if (e.Type == 'P')
                pots.emplace_back(e.Line, &e);
        std::size_t p = 0, q = 0;
        std::sort(parameterControls.begin(), parameterControls.end());
        while (p < parameterControls.size() || q < pots.size()) {
            if (q == pots.size() || (p < parameterControls.size() && parameterControls[p].first < pots[q].first)) {
                const std::string &name = parameterControls[p++].second;
                const TParameter &parameter = Params.Definitions.at(name);
                const double value = parameter.Definition.Evaluate([](std::string_view) { return 0.0; });
                const int index = ControlIndex(ParameterSpelling.at(name));
                Result.Page.Controls[std::size_t(index)].Parametric = true;
                Result.Positions[std::size_t(index)] = int(std::lround(value * SliderMaximum));
                Params.Controls.emplace(name, std::pair{index, value});
                Result.Layout.ParameterControls.push_back({Result.Page.Controls[std::size_t(index)].Label, parameter.ValueSpan});
            } else {
                const TElementCard &pot = *pots[q++].second;
                Result.Page.Controls[std::size_t(ControlIndex(pot.ControlLabel))].Pots.push_back(pot.Part);
            }
        }
    }

    std::vector<TToken> DirectiveWords(int line) const
    {
        std::string_view text = Result.Layout.Lines[std::size_t(line)];
        text.remove_prefix(text.find_first_not_of(" \t") + DirectivePrefix.size());
        std::vector<TToken> words;
        SplitWords(text, line, 0, words);
        if (words.empty())
            Fail(line, "a *corvanta: line without a setting");
        return words;
    }

    void ReadDirectives()
    {
        for (const int line : Directives) {
            const std::vector<TToken> words = DirectiveWords(line);
            const std::string kind = Lower(words[0].Text);
            if (kind == "page") {
                continue; // read before the parts
            } else if (kind == "picture" && words.size() == 2) {
                Result.Picture = words[1].Text;
                Result.Page.Drawing = words[1].Text;
            } else if (kind == "control" && words.size() == 4 && words[2].Text == "=") {
                const auto control = FindControl(words[1].Text);
                if (!control)
                    Fail(line, "no control is called " + words[1].Text);
                int position = 0;
                try {
                    position = ParseInteger(words[3].Text);
                } catch (const CorvantaError &) {
                    Fail(line, "the position of " + words[1].Text + " is not a whole number: " + words[3].Text);
                }
                if (position < 0 || position > SliderMaximum)
                    Fail(line, "the position of " + words[1].Text + " is not from 0 to 100: " + words[3].Text);
                Result.Positions[std::size_t(*control)] = position;
                Result.Layout.PositionLines.emplace_back(Result.Page.Controls[std::size_t(*control)].Label, line);
            } else {
                Fail(line, "a *corvanta: line is \"*corvanta: control LABEL=POSITION\", "
                           "\"*corvanta: picture NAME\" or \"*corvanta: page LETTER\"");
            }
        }
    }

    // "*corvanta: page F": the netlist is a built-in page, whose parts carry
    // its letter and whose source's resistance is a part of it.
    void ReadPage()
    {
        int pageLine = -1;
        for (const int line : Directives) {
            const std::vector<TToken> words = DirectiveWords(line);
            if (Lower(words[0].Text) != "page")
                continue;
            if (pageLine >= 0)
                Fail(line, "a second *corvanta: page line (the first is on line " + std::to_string(pageLine + 1) + ")");
            if (words.size() != 2 || words[1].Text.size() != 1 || words[1].Text[0] < 'A' || words[1].Text[0] > 'Z')
                Fail(line, "a *corvanta: page line gives the page's letter, one capital letter: *corvanta: page F");
            Result.Page.Letter = words[1].Text[0];
            pageLine = line;
        }
        if (pageLine < 0)
            return;
        std::map<std::string, int> parts;
        for (TElementCard &e : Elements) {
            NamePagePart(e);
            if (!e.Part.empty() && !parts.emplace(e.Part, e.Line).second)
                Fail(e.Line, e.Name + " is the page's " + e.Part + " again (first on line " +
                                 std::to_string(parts[e.Part] + 1) + ")");
        }
    }

    // On a built-in page a part is named by its kind and number: R1, C2, L1,
    // PR3 for a pot (drawn as a resistor), RG for the source's resistance; its
    // page's name puts the page letter before that (FR1, FR3, FG). A
    // resistor named otherwise is wiring.
    void NamePagePart(TElementCard &e) const
    {
        const std::string name = Upper(e.Name);
        const auto numbered = [&](std::size_t kindLetters) {
            return name.size() > kindLetters &&
                   std::all_of(name.begin() + std::ptrdiff_t(kindLetters), name.end(),
                               [](unsigned char c) { return std::isdigit(c) != 0; });
        };
        const std::string letter(1, Result.Page.Letter);
        if (e.Type == 'R' && name == "RG") {
            e.Part = letter + "G";
            e.Kind = TElementKind::Generator;
        } else if (e.Type == 'P' && name[1] == 'R' && numbered(2)) {
            e.Part = letter + name.substr(1);
        } else if (e.Type != 'P' && numbered(1)) {
            e.Part = letter + name;
        } else if (e.Type == 'R') {
            e.Part.clear();
        } else {
            Fail(e.Line, e.Name + " is not named as a part of page " + letter + ": " +
                             (e.Type == 'P' ? "a pot is PR and its number (PR2 is " + letter + "R2)"
                                            : std::string(1, e.Type) + " and its number (" + e.Type + "1 is " + letter +
                                                  e.Type + "1)"));
        }
    }

    std::optional<int> FindControl(const std::string &label) const
    {
        const auto &controls = Result.Page.Controls;
        for (std::size_t c = 0; c < controls.size(); ++c)
            if (Lower(controls[c].Label) == Lower(label))
                return int(c);
        return std::nullopt;
    }

    // A capacitance or inductance of zero is no element; a resistance of zero is a short.
    void CheckPassive(const TElementCard &e, double value, const char *quantity, bool zeroAllowed)
    {
        if (value < 0 || (!zeroAllowed && value == 0))
            Fail(e.Line, std::string(quantity) + " of " + e.Name + " is " + FormatGeneral(value) +
                             (value < 0 ? ": a negative value makes the circuit not passive"
                                        : ": a capacitor or inductor needs a value above zero"));
    }

    void AddElement(const TElementCard &e)
    {
        TCircuitDef &page = Result.Page;
        const bool controlled = DependsOnControl(*e.ValueExpression);
        double value = 0;
        if (controlled) {
            // Where a control stands is a setting, not the file's text: a value
            // it makes zero, negative or infinite is refused by the computation,
            // as when the control is moved there, so that the netlist written
            // back at any position reads again.
            EvaluateAnyNumber(*e.ValueExpression, e.Line, e.Name, Result.Positions);
        } else {
            value = Evaluate(*e.ValueExpression, e.Line, e.Name, {});
            CheckPassive(e, value, "the value", e.Type == 'R' || e.Type == 'P');
        }
        const double rser = e.RserExpression ? ConstantValue(*e.RserExpression, e.Line, "the Rser of " + e.Name) : 0;
        CheckPassive(e, rser, "the Rser", true);
        TNetlistLayout::TElement layout = e.Layout;
        layout.Name = e.Part;
        if ((e.Type == 'P' || e.Kind == TElementKind::Generator || e.Part.empty()) && controlled)
            Fail(e.Line, "the value of " + std::string(e.Type == 'P' ? "the pot " : "") + e.Name +
                             " may not follow a control");
        if (e.Kind == TElementKind::Generator) {
            // The source drives the page's input through it.
            const std::string source = Node(InputNode);
            if (Node(e.Nodes[0]) != source && Node(e.Nodes[1]) != source)
                Fail(e.Line, e.Name + ", the source's resistance, must run from the source's node " + source);
            page.Components.push_back({e.Part, TElementKind::Generator, value, 0});
            page.InputNode = Node(e.Nodes[Node(e.Nodes[0]) == source ? 1 : 0]);
        } else if (e.Type == 'P') {
            page.Components.push_back({e.Part, TElementKind::Pot, value, double(e.Taper)});
            // The section from LUG1 to the wiper grows as the control moves up.
            const std::string lug1 = Node(e.Nodes[0]), wiper = Node(e.Nodes[1]), lug3 = Node(e.Nodes[2]);
            if (wiper == lug3)
                page.Branches.push_back({TElementKind::Pot, e.Part, lug1, lug3});
            else
                page.Branches.push_back({TElementKind::Pot, e.Part, lug3, lug1, wiper});
        } else if (e.Part.empty()) {
            layout.Name = e.Name;
            layout.Value.reset();
            page.Branches.push_back({e.Kind, e.Name, Node(e.Nodes[0]), Node(e.Nodes[1]), {}, value});
        } else if (controlled) {
            layout.Value.reset();
            TBranchSpec branch{e.Kind, e.Part, Node(e.Nodes[0]), Node(e.Nodes[1])};
            branch.ValueOf = ControlledValue(*e.ValueExpression);
            branch.ValueR = rser;
            page.Branches.push_back(std::move(branch));
        } else {
            page.Components.push_back({e.Part, e.Kind, value, rser});
            page.Branches.push_back({e.Kind, e.Part, Node(e.Nodes[0]), Node(e.Nodes[1])});
        }
        Result.Layout.Elements.push_back(std::move(layout));
    }

    // The value as the controls move: the parameters are fixed once read,
    // so the function keeps its own copy of them.
    TControlledValue ControlledValue(const TExpression &expression)
    {
        if (!SharedParams)
            SharedParams = std::make_shared<const TParameterTable>(Params);
        return [parameters = SharedParams, expression](std::span<const int> positions) {
            return expression.Evaluate(
                [&](std::string_view name) { return parameters->Value(std::string(name), positions); });
        };
    }

    void CheckIslands()
    {
        // Nodes joined by elements; every element must reach ground (the source joins its node to it).
        std::map<std::string, std::string> parent;
        std::function<std::string(const std::string &)> root = [&](const std::string &node) {
            auto &up = parent.try_emplace(node, node).first->second;
            if (up != node)
                up = root(up);
            return up;
        };
        auto join = [&](const std::string &a, const std::string &b) { parent[root(a)] = root(b); };
        join(Node(InputNode), "0");
        for (const TElementCard &e : Elements)
            for (const std::string &node : e.Nodes)
                join(Node(e.Nodes[0]), Node(node));
        const std::string ground = root("0");
        for (const TElementCard &e : Elements)
            if (root(Node(e.Nodes[0])) != ground)
                Fail(e.Line, e.Name + " is connected to nothing that reaches the source or ground (an island)");
        if (NodeUnused(Node(OutputNode)))
            Fail(OutputLine, "the output node " + OutputNode + " is not connected to any element");
    }

    bool NodeUnused(const std::string &node)
    {
        if (node == "0" || node == Node(InputNode))
            return false;
        return std::none_of(Elements.begin(), Elements.end(), [&](const TElementCard &e) {
            return std::any_of(e.Nodes.begin(), e.Nodes.end(), [&](const std::string &n) { return Node(n) == node; });
        });
    }

    void Finish()
    {
        const int lastLine = int(Result.Layout.Lines.size()) - 1;
        if (SourceName.empty()) {
            // A file that starts with its source, as a netlist without a title would.
            std::vector<TToken> title;
            SplitWords(Result.Layout.Lines[0], 0, 0, title);
            if (title.size() >= 3 && std::toupper(static_cast<unsigned char>(title[0].Text[0])) == 'V')
                Fail(0, "the netlist has no source: its first line is its title, as in SPICE, so the source " +
                            title[0].Text + " there is not read; put a title line before it");
            Fail(lastLine, "the netlist has no source: add one as \"V1 IN 0 AC 1\"");
        }
        if (OutputNode.empty()) {
            if (const auto out = NodeSpelling.find("out"); out != NodeSpelling.end()) {
                OutputNode = out->second;
                OutputLine = lastLine;
            } else {
                Fail(lastLine, "the netlist names no output: add \".print ac v(NODE)\" or call the output node out");
            }
        }
        ReadPage();
        FindControls();
        ReadDirectives();
        Result.Page.InputNode = Node(InputNode);
        for (const TElementCard &e : Elements)
            AddElement(e);
        Result.Page.OutputNode = Node(OutputNode);
        CheckIslands();
    }

    std::string File;
    TNetlistCircuit Result;
    std::vector<int> Directives;
    std::vector<TElementCard> Elements;
    TParameterTable Params;
    std::shared_ptr<const TParameterTable> SharedParams; // once complete
    std::map<std::string, std::string> ParameterSpelling;
    std::map<std::string, int> Names;
    std::map<std::string, std::string> NodeSpelling;
    std::string SourceName, InputNode, OutputNode;
    int SourceLine = 0, OutputLine = 0;
};

} // namespace

TNetlistCircuit ReadNetlist(std::string_view text, std::string_view fileName)
{
    TNetlistCircuit read = TReader(text, fileName).Read();
    read.Page.NetlistText = std::string(text);
    return read;
}

std::string TaperWord(std::uint8_t taper)
{
    if (taper == PotLogA)
        return "logA";
    if (taper == PotLogB)
        return "logB";
    const std::string name = TaperName(taper);
    return name.empty() ? "linear" : name;
}

bool IsNetlistFile(std::string_view path, std::string_view firstLine)
{
    const std::size_t dot = path.find_last_of('.');
    const std::string extension = dot == std::string_view::npos ? "" : Lower(path.substr(dot));
    if (extension == ".cir" || extension == ".net" || extension == ".sp" || extension == ".spice")
        return true;
    if (extension == ".cva")
        return false;
    // A circuit file's lines are KEY=VALUE; a netlist starts with its title.
    const std::size_t start = firstLine.find_first_not_of(" \t\xEF\xBB\xBF");
    const std::string_view line = start == std::string_view::npos ? "" : firstLine.substr(start);
    const std::size_t equals = line.find('=');
    return equals == std::string_view::npos ||
           std::any_of(line.begin(), line.begin() + std::ptrdiff_t(equals),
                       [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
}

} // namespace cva
