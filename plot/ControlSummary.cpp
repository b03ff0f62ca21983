#include "plot/ControlSummary.h"

#include <QStringList>

namespace cva {

std::vector<QString> ControlLines(const TCircuit &circuit)
{
    std::vector<QString> lines;
    for (int control = 0; control < circuit.ControlCount(); ++control) {
        if (!circuit.ControlEnabled(control))
            continue;
        lines.push_back(QStringLiteral("%1 %2% (%3)")
                            .arg(QString::fromStdString(circuit.ActiveInfo().Controls[std::size_t(control)].Label))
                            .arg(circuit.Position(control))
                            .arg(QString::fromStdString(circuit.TaperLabel(control))));
    }
    return lines;
}

QString PlotTitle(const TCircuit &circuit)
{
    const std::string &name = circuit.ActiveInfo().PrintedName;
    QStringList controls;
    for (const QString &line : ControlLines(circuit))
        controls << line;
    return QString::fromStdString(name) + QStringLiteral(": ") + controls.join(QStringLiteral(", "));
}

} // namespace cva
