#include "cli/TraceOutput.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "components/MessageQuote.h"
#include "document/CurveMarkers.h"

namespace cva::cli {

namespace {

// A title or label as a JSON string: control characters escaped, and a byte
// that is no UTF-8 (a title saved in another encoding) as U+FFFD, so that
// any netlist gives a document a JSON reader takes.
std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t length = 1;
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += char(byte);
        } else if (byte < 0x20) {
            static constexpr char hex[] = "0123456789abcdef";
            out += std::string("\\u00") + hex[byte >> 4] + hex[byte & 0xF];
        } else if (byte < 0x80) {
            out += char(byte);
        } else if ((length = Utf8Length(text)) != 0) {
            out.append(text.substr(0, length));
        } else {
            length = 1;
            out += "\\ufffd";
        }
        text.remove_prefix(length);
    }
    return out + "\"";
}

const char *ResolutionName(int step)
{
    switch (step) {
    case ResolutionLow:
        return "low";
    case ResolutionHigh:
        return "high";
    default:
        return "medium";
    }
}

double Value(const TPrintedCurves &curves, TColumn column, int k)
{
    switch (column) {
    case TColumn::GainDb:
        return curves.Live[k];
    case TColumn::PhaseDeg:
        return curves.Engine.PhaseDeg[k];
    case TColumn::GroupDelayS:
        return curves.Engine.GroupDelayS[k];
    case TColumn::ZinOhm:
        return curves.Engine.ImpedanceOhm[k];
    case TColumn::ZinPhaseDeg:
        return curves.Engine.ImpedancePhaseDeg[k];
    }
    return 0;
}

std::string Frequency(int k) { return ShortestNumber(GridFrequency(GridFirstStep + k)); }

std::string CircuitJsonFields(const TCircuit &circuit)
{
    std::string out = "\"tab\":" + JsonString(circuit.ActiveInfo().TabCaption);
    // Each control by its label in lower case: "bass", "mid", "treble".
    for (int control = 0; control < circuit.ControlCount(); ++control) {
        std::string key = circuit.ActiveInfo().Controls[std::size_t(control)].Label;
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        out += "," + JsonString(key) + ":" + std::to_string(circuit.Position(control));
    }
    out += ",\"resolution\":" + JsonString(ResolutionName(circuit.ResolutionStep));
    return out;
}

std::string MarkerJson(const TCurveMarker &marker)
{
    return "{\"frequency_hz\":" + ShortestNumber(marker.FrequencyHz) + ",\"gain_db\":" + ShortestNumber(marker.GainDB) +
           "}";
}

std::string MarkerJson(const std::optional<TCurveMarker> &marker)
{
    return marker ? MarkerJson(*marker) : "null";
}

// The live curve's peak, deepest notch and -3 dB points.
std::string MarkersJson(const TTrace &live)
{
    const TCurveMarkers markers = FindCurveMarkers(live);
    std::string out = "{\"peak\":" + MarkerJson(markers.Peak) + ",\"notch\":" + MarkerJson(markers.Notch) +
                      ",\"minus_3db\":[";
    for (std::size_t n = 0; n < markers.MinusThreeDB.size(); ++n)
        out += (n > 0 ? "," : "") + MarkerJson(markers.MinusThreeDB[n]);
    return out + "]}";
}

} // namespace

std::string TraceCsv(const TPrintedCurves &curves)
{
    std::string out = "frequency_hz";
    for (TColumn column : curves.Columns)
        out += std::string(",") + ColumnName(column);
    out += "\n";
    for (int k = 0; k < GridPoints; ++k) {
        out += Frequency(k);
        for (TColumn column : curves.Columns)
            out += "," + ShortestNumber(Value(curves, column, k));
        out += "\n";
    }
    return out;
}

std::string TraceJson(const TCircuit &circuit, const TPrintedCurves &curves)
{
    std::string out = "{" + CircuitJsonFields(circuit) + ",\"points\":[";
    for (int k = 0; k < GridPoints; ++k) {
        if (k > 0)
            out += ",";
        out += "{\"frequency_hz\":" + Frequency(k);
        for (TColumn column : curves.Columns)
            out += std::string(",\"") + ColumnName(column) + "\":" + ShortestNumber(Value(curves, column, k));
        out += "}";
    }
    // The markers describe the gain curve and come with it.
    const bool gain = std::find(curves.Columns.begin(), curves.Columns.end(), TColumn::GainDb) != curves.Columns.end();
    return out + "]" + (gain ? ",\"markers\":" + MarkersJson(curves.Live) : std::string()) + "}\n";
}

std::string MapCsv(const std::vector<TTrace> &map)
{
    std::string out = "position,frequency_hz,gain_db\n";
    for (std::size_t position = 0; position < map.size(); ++position)
        for (int k = 0; k < GridPoints; ++k)
            out += std::to_string(position) + "," + Frequency(k) + "," + ShortestNumber(map[position][k]) + "\n";
    return out;
}

std::string MapJson(const TCircuit &circuit, int control, const std::vector<TTrace> &map)
{
    std::string out = "{" + CircuitJsonFields(circuit) + ",\"map\":" + JsonString(circuit.ActiveInfo().Controls.at(std::size_t(control)).Label) + ",\"points\":[";
    for (std::size_t position = 0; position < map.size(); ++position)
        for (int k = 0; k < GridPoints; ++k) {
            if (position > 0 || k > 0)
                out += ",";
            out += "{\"position\":" + std::to_string(position) + ",\"frequency_hz\":" + Frequency(k) +
                   ",\"gain_db\":" + ShortestNumber(map[position][k]) + "}";
        }
    return out + "]}\n";
}

std::string ToleranceCsv(const TTrace &live, const TToleranceBand &band)
{
    std::string out = "frequency_hz,gain_db,min_db,p5_db,median_db,p95_db,max_db\n";
    for (std::size_t k = 0; k < GridPoints; ++k)
        out += Frequency(int(k)) + "," + ShortestNumber(live[k]) + "," + ShortestNumber(band.Min[k]) + "," +
               ShortestNumber(band.P5[k]) + "," + ShortestNumber(band.Median[k]) + "," +
               ShortestNumber(band.P95[k]) + "," + ShortestNumber(band.Max[k]) + "\n";
    return out;
}

std::string SensitivityCsv(const std::vector<TSensitivity> &table, const std::vector<TPartTolerance> &tolerances)
{
    std::string out = "part,kind,tolerance_pct,frequency_hz,db_per_pct\n";
    for (const TSensitivity &row : table) {
        const auto part = std::find_if(tolerances.begin(), tolerances.end(),
                                       [&row](const TPartTolerance &t) { return t.Name == row.Name; });
        out += row.Name + "," + row.Kind + "," + ShortestNumber(part == tolerances.end() ? 0 : part->Percent) + "," +
               ShortestNumber(row.Frequency) + "," + ShortestNumber(row.DbPerPercent) + "\n";
    }
    return out;
}

} // namespace cva::cli
