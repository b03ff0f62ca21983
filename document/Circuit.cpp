#include "document/Circuit.h"

#include <algorithm>

namespace cva {

TCircuit::TCircuit()
{
    CreateDefaultCircuits(Symbols);
}

bool TCircuit::SetPosition(TSlider slider, int position)
{
    const int clamped = std::clamp(position, 0, SliderMaximum);
    int &current = Positions[int(slider)];
    if (current == clamped)
        return false;
    current = clamped;
    return true;
}

std::string TCircuit::TaperLabel(TSlider slider) const
{
    const std::string_view pot = ActiveInfo().SliderPots[int(slider)];
    return pot.empty() ? "n/a" : Symbols.GetPotTypeLabel(pot);
}

TCalcParms SetCalcParms(const TCircuit &circuit)
{
    const TSymbolList &s = circuit.Symbols;
    const int bass = circuit.Position(TSlider::Bass);
    const int mid = circuit.Position(TSlider::Mid);
    const int treble = circuit.Position(TSlider::Treble);
    auto part = [&s](const char *name, int position) { return s.GetPotPart(name, position, SliderMaximum); };
    auto rest = [&s](const char *name, int position) { return s.GetPotRest(name, position, SliderMaximum); };
    auto value = [&s](const char *name) { return s.GetValue(name); };

    // Which section goes to the "a" slot differs between circuits; the
    // response functions read the slots with exactly this meaning.
    TCalcParms p;
    switch (circuit.Active) {
    case Topology::Fender:
        p.R1 = value("FR1");
        p.R2a = rest("FR2", treble);
        p.R2b = part("FR2", treble);
        p.R3 = part("FR3", bass);
        p.R4 = part("FR4", mid);
        p.R5 = value("FR5");
        p.C1 = value("FC1");
        p.C2 = value("FC2");
        p.C3 = value("FC3");
        p.RG = value("FG");
        break;
    case Topology::Vox:
        p.R1 = value("VR1");
        p.R2 = value("VR2");
        p.R3a = rest("VR3", treble);
        p.R3b = part("VR3", treble);
        p.R4a = part("VR4", bass);
        p.R4b = rest("VR4", bass);
        p.R5 = value("VR5");
        p.C1 = value("VC1");
        p.C2 = value("VC2");
        p.C3 = value("VC3");
        p.RG = value("VG");
        break;
    case Topology::Marshall:
        p.R1 = value("MR1");
        p.R2a = rest("MR2", treble);
        p.R2b = part("MR2", treble);
        p.R3 = part("MR3", bass);
        p.R4a = rest("MR4", mid);
        p.R4b = part("MR4", mid);
        p.R5 = value("MR5");
        p.C1 = value("MC1");
        p.C2 = value("MC2");
        p.C3 = value("MC3");
        p.RG = value("MG");
        break;
    case Topology::James:
        p.R1 = value("BR1");
        p.R2a = rest("BR2", bass);
        p.R2b = part("BR2", bass);
        p.R3 = value("BR3");
        p.R4 = value("BR4");
        p.R5 = value("BR5");
        p.R6a = rest("BR6", treble);
        p.R6b = part("BR6", treble);
        p.C1 = value("BC1");
        p.C2 = value("BC2");
        p.C3 = value("BC3");
        p.C4 = value("BC4");
        p.RG = value("BG");
        break;
    case Topology::ESeries:
        p.R1a = rest("ER1", treble);
        p.R1b = part("ER1", treble);
        p.R2 = value("ER2");
        p.R3 = value("ER3");
        p.R4a = part("ER4", bass);
        p.R4b = rest("ER4", bass);
        p.R5 = value("ER5");
        p.C1 = value("EC1");
        p.C2 = value("EC2");
        p.C3 = value("EC3");
        p.C4 = value("EC4");
        p.RG = value("EG");
        break;
    case Topology::Bench:
        p.R1a = rest("SR1", mid);
        p.R1b = part("SR1", mid);
        p.R2a = rest("SR2", bass);
        p.R2b = part("SR2", bass);
        p.R3a = rest("SR3", treble);
        p.R3b = part("SR3", treble);
        p.R4 = value("SR4");
        p.R5 = value("SR5");
        p.C1 = value("SC1");
        p.C2 = value("SC2");
        p.L1 = value("SL1");
        p.L2 = value("SL2");
        p.RL1 = s.GetValueR("SL1");
        p.RL2 = s.GetValueR("SL2");
        p.RG = value("SG");
        break;
    case Topology::BigMuff:
        p.R1 = value("PR1");
        p.R2 = value("PR2");
        p.R3a = part("PR3", mid);
        p.R3b = rest("PR3", mid);
        p.R4 = value("PR4");
        p.C1 = value("PC1");
        p.C2 = value("PC2");
        p.RG = value("PG");
        break;
    }
    return p;
}

void Recalculate(const TCircuit &circuit, TTrace &live)
{
    circuit.ActiveInfo().Sweep(SetCalcParms(circuit), circuit.ResolutionStep, live);
}

} // namespace cva
