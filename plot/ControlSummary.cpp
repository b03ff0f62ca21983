#include "plot/ControlSummary.h"

#include <QStringList>

namespace cva {

std::vector<QString> ControlLines(const TCircuit &circuit)
{
    static const char *const names[] = {"Bass", "Mid", "Treble"};
    std::vector<QString> lines;
    for (TSlider slider : AllSliders) {
        if (!circuit.SliderEnabled(slider))
            continue;
        lines.push_back(QStringLiteral("%1 %2 (%3)")
                            .arg(QLatin1String(names[static_cast<int>(slider)]))
                            .arg(circuit.Position(slider))
                            .arg(QString::fromStdString(circuit.TaperLabel(slider))));
    }
    return lines;
}

QString PlotTitle(const TCircuit &circuit)
{
    const std::string_view name = circuit.ActiveInfo().PrintedName;
    QStringList controls;
    for (const QString &line : ControlLines(circuit))
        controls << line;
    return QString::fromUtf8(name.data(), int(name.size())) + QStringLiteral(": ") + controls.join(QStringLiteral(", "));
}

} // namespace cva
