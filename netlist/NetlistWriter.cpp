#include "netlist/NetlistWriter.h"

#include <algorithm>
#include <string_view>

#include "netlist/SpiceNumber.h"

namespace cva {

namespace {

struct TEdit {
    TTextSpan Span; // Length 0 inserts
    std::string Text;
};

} // namespace

std::string UpdatedNetlistText(const TNetlistCircuit &read, const TSymbolList &values, std::span<const int> positions)
{
    const TNetlistLayout &layout = read.Layout;
    std::vector<TEdit> edits;
    for (const TNetlistLayout::TElement &element : layout.Elements) {
        const TComponentDefault *part = read.Page.FindComponent(element.Name);
        if (!part || !element.Value || !values.Contains(element.Name))
            continue;
        const TTextSpan end{element.Value->Line, element.Value->Column + element.Value->Length, 0};
        if (const double value = values.GetValue(element.Name); value != part->Value)
            edits.push_back({*element.Value, FormatSpiceValue(value)});
        if (part->Kind == TElementKind::Pot) {
            if (const std::uint8_t taper = values.GetPotType(element.Name); taper != std::uint8_t(part->Second))
                edits.push_back(element.Taper ? TEdit{*element.Taper, TaperWord(taper)}
                                              : TEdit{end, std::string(" ") + TaperWord(taper)});
        } else if (part->Kind == TElementKind::Inductor) {
            if (const double rser = values.GetValueR(element.Name); rser != part->Second) {
                edits.push_back(element.Rser ? TEdit{*element.Rser, FormatSpiceValue(rser)}
                                             : TEdit{end, " Rser=" + FormatSpiceValue(rser)});
            }
        }
    }
    std::vector<std::string> lines = layout.Lines;
    std::vector<std::string> added;
    bool rewritten = false;
    for (int control = 0; control < read.Page.ControlCount() && control < int(positions.size()); ++control) {
        const std::string &label = read.Page.Controls[std::size_t(control)].Label;
        const int position = positions[std::size_t(control)];
        const auto parameter = std::find_if(layout.ParameterControls.begin(), layout.ParameterControls.end(),
                                            [&](const auto &p) { return p.Label == label; });
        const bool parametric = parameter != layout.ParameterControls.end();
        if (parametric && position != read.Positions[std::size_t(control)])
            edits.push_back({parameter->Value, FormatSpiceValue(position / double(SliderMaximum))});
        // Every line that sets the control, should the file repeat one (the last would win
        // when read), a parameter's too: such a line outweighs its .param value.
        const std::string directive = "*corvanta: control " + label + "=" + std::to_string(position);
        bool written = false;
        for (const auto &[controlLabel, line] : layout.PositionLines)
            if (controlLabel == label) {
                if (lines[std::size_t(line)] != directive) {
                    lines[std::size_t(line)] = directive;
                    rewritten = true;
                }
                written = true;
            }
        if (!written && !parametric && position != read.Positions[std::size_t(control)])
            added.push_back(directive);
    }
    // Nothing changed: the text stays as it was, to the last line break.
    if (edits.empty() && added.empty() && !rewritten && !read.Page.NetlistText.empty())
        return read.Page.NetlistText;
    // Right to left within a line, so that each span still points at its text.
    std::sort(edits.begin(), edits.end(), [](const TEdit &a, const TEdit &b) {
        return a.Span.Line != b.Span.Line ? a.Span.Line < b.Span.Line : a.Span.Column > b.Span.Column;
    });
    for (const TEdit &edit : edits)
        lines[std::size_t(edit.Span.Line)].replace(edit.Span.Column, edit.Span.Length, edit.Text);
    // Before ".end", or they would not be read.
    lines.insert(layout.EndLine ? lines.begin() + *layout.EndLine : lines.end(), added.begin(), added.end());
    // Line breaks as the file had them, so that a file written on Windows
    // keeps its CRLF.
    const std::string_view lineBreak = read.Page.NetlistText.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string text;
    for (const std::string &line : lines)
        (text += line) += lineBreak;
    return text;
}

} // namespace cva
