// The topology catalogue and default circuits, the assembly of the
// calculation parameters, and the window caption.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pages/BuiltInCircuits.h"
#include "document/Circuit.h"
#include "document/ComponentNames.h"
#include "document/DocumentState.h"
#include "document/Catalogue.h"
#include "numerics/Error.h"

namespace {

using namespace cva;

TEST(Catalogue, SevenTopologiesInPageOrder)
{
    const auto &all = BuiltInCircuits();
    const char *captions[] = {"Fender", "Vox", "Marshall", "James", "E series", "Bench", "Big muff"};
    const char letters[] = {'F', 'V', 'M', 'B', 'E', 'S', 'P'};
    const char *printed[] = {"Fender", "Vox", "Marshall", "James", "E series", "Bench", "Big Muff"};
    for (int i = 0; i < TCatalogue().Count(); ++i) {
        EXPECT_EQ(int(PageNamed(all[i].TabCaption)), i);
        EXPECT_EQ(all[i].TabCaption, captions[i]);
        EXPECT_EQ(all[i].Letter, letters[i]);
        EXPECT_EQ(all[i].PrintedName, printed[i]);
        EXPECT_EQ(TCatalogue().FromCaption(captions[i]), PageNamed(all[i].TabCaption));
        for (const TComponentDefault &part : all[i].Components)
            EXPECT_EQ(part.Name.front(), letters[i]) << part.Name;
    }
    EXPECT_EQ(TCatalogue().FromCaption("vox"), std::nullopt);
    EXPECT_EQ(TCatalogue().FromCaption("Big Muff"), std::nullopt);
    EXPECT_EQ(TCatalogue().FromCaption("Vox "), std::nullopt);
    EXPECT_EQ(TCatalogue().FromCaption(""), std::nullopt);
}

TEST(Catalogue, ComponentsAreNamedAsTheirSchematicShowsThem)
{
    const TCircuit circuit;
    const std::pair<const char *, const char *> names[] = {
        {"FC1", "C1 on the Fender page"}, {"BR4", "R4 on the James page"}, {"SL1", "L1 on the Bench page"},
        {"PR3", "R3 on the Big muff page"}, {"R1", "R1"}, {"F", "F"}};
    for (const auto &[name, shown] : names)
        EXPECT_EQ(ComponentOnPage(circuit, name), shown) << name;
    EXPECT_EQ(PageComponentNames(circuit, PageNamed("Fender")), "FC1, FC2, FC3, FG, FR1, FR2, FR3, FR4, FR5");
}

TEST(Catalogue, DefaultComponentsAndTheirCaptions)
{
    const std::map<std::string, std::string> captions = {
        {"FG", "38k"},   {"FR1", "100k"}, {"FR2", "250k"}, {"FR3", "250k"},  {"FR4", "10k"},   {"FR5", "1M"},
        {"FC1", "250p"}, {"FC2", "100n"}, {"FC3", "47n"},  {"VG", "56k"},    {"VR1", "100k"},  {"VR2", "10k"},
        {"VR3", "1M"},   {"VR4", "1M"},   {"VR5", "600k"}, {"VC1", "22n"},   {"VC2", "22n"},   {"VC3", "47p"},
        {"MG", "1.3k"},  {"MR1", "33k"},  {"MR2", "220k"}, {"MR3", "1M"},    {"MR4", "25k"},   {"MR5", "517k"},
        {"MC1", "470p"}, {"MC2", "22n"},  {"MC3", "22n"},  {"BG", "38k"},    {"BR1", "100k"},  {"BR2", "1M"},
        {"BR3", "10k"},  {"BR4", "180k"}, {"BR5", "1M"},   {"BR6", "470k"},  {"BC1", "470p"},  {"BC2", "4.7n"},
        {"BC3", "330p"}, {"BC4", "3.3n"}, {"EG", "1.3k"},  {"ER1", "1M"},    {"ER2", "220k"},  {"ER3", "100k"},
        {"ER4", "1M"},   {"ER5", "220k"}, {"EC1", "10n"},  {"EC2", "250p"},  {"EC3", "100n"},  {"EC4", "5n"},
        {"SG", "13k"},   {"SR1", "100k"}, {"SR2", "100k"}, {"SR3", "100k"},  {"SR4", "51k"},   {"SR5", "5.1k"},
        {"SC1", "22n"},  {"SC2", "6.8n"}, {"SL1", "6"},    {"SL2", "20"},    {"PG", "1k"},     {"PR1", "39k"},
        {"PR2", "22k"},  {"PR3", "100k"}, {"PR4", "1M"},   {"PC1", "4n"},    {"PC2", "10n"},
    };
    const std::map<std::string, int> tapers = {
        {"FR2", 1}, {"FR3", 1}, {"FR4", 0}, {"VR3", 1}, {"VR4", 1}, {"MR2", 0}, {"MR3", 2}, {"MR4", 0},
        {"BR2", 2}, {"BR6", 2}, {"ER1", 1}, {"ER4", 1}, {"SR1", 2}, {"SR2", 2}, {"SR3", 2}, {"PR3", 0},
    };
    const TCircuitValues list = TCircuit().Symbols;
    ASSERT_EQ(list.Count(), 65u);
    ASSERT_EQ(captions.size(), 65u);
    for (const auto &[name, caption] : captions) {
        EXPECT_EQ(list.GetCaption(name), caption) << name;
        const auto taper = tapers.find(name);
        if (taper != tapers.end()) {
            EXPECT_EQ(list.GetPotType(name), taper->second) << name;
        } else {
            EXPECT_THROW(list.GetPotType(name), CorvantaError) << name << " should not be a pot";
        }
    }
    EXPECT_EQ(list.GetValue("FC1"), 2.5e-10);
    EXPECT_EQ(list.GetValue("VC3"), 4.7e-11);
    EXPECT_EQ(list.GetValueR("SL1"), 600);
    EXPECT_EQ(list.GetValueR("SL2"), 600);
    EXPECT_EQ(list.Find("SL1").TypeName(), "Inductor");
    EXPECT_EQ(list.Find("PG").TypeName(), "Generator");
    EXPECT_FALSE(list.Contains("FR6"));
    EXPECT_THROW(list.GetValue("FR6"), CorvantaError);
}

TEST(Circuit, StartsOnFenderWithSlidersInTheMiddle)
{
    const TCircuit c;
    EXPECT_EQ(c.Active, PageNamed("Fender"));
    EXPECT_EQ(c.ResolutionStep, ResolutionMedium);
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        EXPECT_EQ(c.Position(slider), 50);
    EXPECT_EQ(c.TaperLabel(BuiltInControl::Bass), "Log A");
    EXPECT_EQ(c.TaperLabel(BuiltInControl::Mid), "Linear");
    EXPECT_EQ(c.TaperLabel(BuiltInControl::Treble), "Log A");
}

TEST(Circuit, SliderPositionsAreClamped)
{
    TCircuit c;
    EXPECT_FALSE(c.SetPosition(BuiltInControl::Mid, 50));
    EXPECT_TRUE(c.SetPosition(BuiltInControl::Mid, 150));
    EXPECT_EQ(c.Position(BuiltInControl::Mid), 100);
    EXPECT_FALSE(c.SetPosition(BuiltInControl::Mid, 101));
    EXPECT_TRUE(c.SetPosition(BuiltInControl::Mid, -3));
    EXPECT_EQ(c.Position(BuiltInControl::Mid), 0);
    EXPECT_EQ(c.Position(BuiltInControl::Bass), 50);
}

TEST(Circuit, SlidersAndTaperLabelsPerPage)
{
    struct Expected {
        int Id;
        const char *Bass, *Mid, *Treble; // taper label, "n/a" where the slider is unused
    };
    const Expected pages[] = {
        {PageNamed("Fender"), "Log A", "Linear", "Log A"}, {PageNamed("Vox"), "Log A", "n/a", "Log A"},
        {PageNamed("Marshall"), "Log B", "Linear", "Linear"}, {PageNamed("James"), "Log B", "n/a", "Log B"},
        {PageNamed("E series"), "Log A", "n/a", "Log A"},    {PageNamed("Bench"), "Log B", "Log B", "Log B"},
        {PageNamed("Big muff"), "n/a", "Linear", "n/a"},
    };
    for (const Expected &page : pages) {
        TCircuit c;
        c.Active = page.Id;
        const char *labels[] = {page.Bass, page.Mid, page.Treble};
        for (int slider = 0; slider < BuiltInControl::Count; ++slider) {
            const std::string expected = labels[int(slider)];
            EXPECT_EQ(c.TaperLabel(slider), expected) << page.Bass;
            EXPECT_EQ(c.ControlEnabled(slider), expected != "n/a");
        }
    }
    // A label follows the taper stored in the store.
    TCircuit c;
    c.Symbols.SetInfo("FR4", "10000|2");
    EXPECT_EQ(c.TaperLabel(BuiltInControl::Mid), "Log B");
}

// What tells an undo step from a change that left everything as it was.
TEST(Circuit, EqualOnlyWithTheSameValuesExactly)
{
    const TCircuit base;
    EXPECT_EQ(TCircuit(base), base);
    std::vector<std::function<void(TCircuit &)>> changes{
        [](TCircuit &c) { c.Active = PageNamed("Vox"); },
        [](TCircuit &c) { c.SetPosition(BuiltInControl::Treble, 51); },
        [](TCircuit &c) { c.Symbols.AddResistor("FR1", std::nextafter(c.Symbols.GetValue("FR1"), 1e9)); },
        [](TCircuit &c) { c.Symbols.AddPot("FR2", PotLinear, c.Symbols.GetValue("FR2")); },
        [](TCircuit &c) { c.Symbols.AddCapacitor("FR1", c.Symbols.GetValue("FR1")); },
        [](TCircuit &c) { c.Symbols.AddResistor("ZZ9", 1); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        TCircuit changed = base;
        changes[i](changed);
        EXPECT_NE(changed, base) << "change " << i;
    }
}

TEST(CalcParms, FenderDefaults)
{
    const TCircuit c;
    const TCalcParms p = SetCalcParms(c);
    EXPECT_NEAR(p.R2b, 75001, 1e-9);
    EXPECT_NEAR(p.R2a, 175001, 1e-9);
    EXPECT_NEAR(p.R3, 75001, 1e-9);
    EXPECT_NEAR(p.R4, 5001, 1e-9);
    EXPECT_EQ(p.R1, 100000);
    EXPECT_EQ(p.R5, 1000000);
    EXPECT_EQ(p.C1, 2.5e-10);
    EXPECT_EQ(p.C2, 1e-7);
    EXPECT_EQ(p.C3, 4.7e-8);
    EXPECT_EQ(p.RG, 38000);
}

TEST(CalcParms, SectionsAtTheEndsOfTheTravel)
{
    TCircuit c;
    c.Active = PageNamed("Bench");
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        c.SetPosition(slider, 0);
    TCalcParms p = SetCalcParms(c);
    // The section to ground grows with each slider.
    for (double section : {p.R1b, p.R2b, p.R3b})
        EXPECT_EQ(section, 1);
    for (double section : {p.R1a, p.R2a, p.R3a})
        EXPECT_EQ(section, 100001);
    for (int slider = 0; slider < BuiltInControl::Count; ++slider)
        c.SetPosition(slider, 100);
    p = SetCalcParms(c);
    for (double section : {p.R1b, p.R2b, p.R3b})
        EXPECT_EQ(section, 100001);
    for (double section : {p.R1a, p.R2a, p.R3a})
        EXPECT_EQ(section, 1);
    // The DC resistances, not the inductances, go to RL1 and RL2.
    EXPECT_EQ(p.L1, 6);
    EXPECT_EQ(p.L2, 20);
    EXPECT_EQ(p.RL1, 600);
    EXPECT_EQ(p.RL2, 600);
    EXPECT_EQ(p.RG, 13000);
}

// The block is compared field by field.
bool SameParms(const TCalcParms &a, const TCalcParms &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(CalcParms, EachTopologyReadsOnlyItsOwnSliders)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        for (int slider = 0; slider < BuiltInControl::Count; ++slider) {
            TCircuit c;
            c.Active = PageNamed(info.TabCaption);
            const TCalcParms before = SetCalcParms(c);
            c.SetPosition(slider, 90);
            const bool changed = !SameParms(before, SetCalcParms(c));
            EXPECT_EQ(changed, info.UsesControl(slider)) << info.TabCaption << " slider " << int(slider);
        }
    }
}

TEST(CalcParms, EachTopologyReadsOnlyItsOwnComponents)
{
    for (const TCircuitDef &info : BuiltInCircuits()) {
        TCircuit c;
        c.Active = PageNamed(info.TabCaption);
        const TCalcParms before = SetCalcParms(c);
        for (const TCircuitDef &other : BuiltInCircuits()) {
            for (const TComponentDefault &part : other.Components) {
                TCircuit changed = c;
                const std::string name(part.Name);
                const double value = changed.Symbols.GetValue(name) * 1.5;
                if (part.Kind == TElementKind::Inductor)
                    changed.Symbols.AddInductor(name, changed.Symbols.GetValue(name), 750);
                else if (part.Kind == TElementKind::Pot)
                    changed.Symbols.AddPot(name, changed.Symbols.GetPotType(name), value);
                else
                    changed.Symbols.AddResistor(name, value); // kind does not matter for the block
                const bool differs = !SameParms(before, SetCalcParms(changed));
                EXPECT_EQ(differs, PageNamed(other.TabCaption) == PageNamed(info.TabCaption)) << info.TabCaption << " and " << name;
            }
        }
    }
}

TEST(CalcParms, MissingComponentIsReported)
{
    TCircuit c;
    c.Symbols.Page(c.Active) = TSymbolList();
    c.Symbols.AddResistor("FR1", 1);
    EXPECT_THROW(SetCalcParms(c), CorvantaError);
}

TEST(DocumentState, Caption)
{
    TDocumentState state;
    EXPECT_EQ(state.Caption(), "Corvanta 1.3 <empty file>");
    state.SetModified(true);
    EXPECT_EQ(state.Caption(), "Corvanta 1.3 <empty file> *");
    state.SetFileName("/circuits/amp.cva");
    EXPECT_EQ(state.Caption(), "Corvanta 1.3 [/circuits/amp.cva] *");
    state.SetModified(false);
    EXPECT_EQ(state.Caption(), "Corvanta 1.3 [/circuits/amp.cva]");
    state.SetModified(true);
    state.SetFileName("");
    EXPECT_EQ(state.Caption(), "Corvanta 1.3 <empty file> *");
    EXPECT_TRUE(state.FileName().empty());
}

} // namespace
