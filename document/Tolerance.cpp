#include "document/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <random>
#include <thread>

#include "components/SymbolList.h"
#include "document/Netlist.h"
#include "document/TraceTable.h"
#include "models/NodalEngine.h"
#include "numerics/Error.h"

namespace cva {

namespace {

struct TKindDefault {
    const char *Kind;
    double Percent;
};

TKindDefault KindOf(const TSymbol &symbol)
{
    if (dynamic_cast<const TSymbolResistor *>(&symbol))
        return {"R", 5};
    if (dynamic_cast<const TSymbolCapacitor *>(&symbol))
        return {"C", 10};
    if (dynamic_cast<const TSymbolInductor *>(&symbol))
        return {"L", 10};
    if (dynamic_cast<const TSymbolPot *>(&symbol))
        return {"pot", 20};
    return {"source", 0};
}

bool SameText(std::string_view a, std::string_view b) { return NameEqual(a, b); }

// The part's value times 'factor', everything else (taper, DC resistance) kept.
void SetScaled(TSymbolList &values, const std::string &name, const TSymbol &nominal, double factor)
{
    const double value = nominal.GetValue() * factor;
    if (dynamic_cast<const TSymbolResistor *>(&nominal))
        values.AddResistor(name, value);
    else if (dynamic_cast<const TSymbolCapacitor *>(&nominal))
        values.AddCapacitor(name, value);
    else if (dynamic_cast<const TSymbolInductor *>(&nominal))
        values.AddInductor(name, value, nominal.GetValueR());
    else if (const auto *pot = dynamic_cast<const TSymbolPot *>(&nominal))
        values.AddPot(name, pot->GetPotType(), value);
    else
        values.AddGenerator(name, value);
}

// Linear interpolation between the order statistics, so the 5% and 95%
// points of a few runs still lie between their neighbours.
double Quantile(const std::vector<double> &sorted, double share)
{
    const double at = share * double(sorted.size() - 1);
    const std::size_t below = std::size_t(at);
    if (below + 1 >= sorted.size())
        return sorted.back();
    return sorted[below] + (at - double(below)) * (sorted[below + 1] - sorted[below]);
}

// A draw in [0, 1) from the top 53 bits, the same on every platform.
double UnitDraw(std::mt19937_64 &generator) { return double(generator() >> 11) * 0x1.0p-53; }

// Runs work(index, count) on 'count' threads, this one among them, and
// passes on the first failure once all have ended.
template <typename Work>
void ForEachThread(std::size_t count, const Work &work)
{
    std::vector<std::exception_ptr> failures(count);
    const auto guarded = [&](std::size_t index) {
        try {
            work(index, count);
        } catch (...) {
            failures[index] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t index = 1; index < count; ++index)
        threads.emplace_back(guarded, index);
    guarded(0);
    for (std::thread &thread : threads)
        thread.join();
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

} // namespace

std::vector<TPartTolerance> DefaultTolerances(const TCircuit &circuit)
{
    std::vector<TPartTolerance> parts;
    for (const TSymbolList::Entry &entry : circuit.ActiveValues()) {
        const TKindDefault kind = KindOf(*entry.Symbol);
        parts.push_back({entry.Name, kind.Kind, kind.Percent});
    }
    return parts;
}

void SetTolerance(std::vector<TPartTolerance> &parts, std::string_view target, double percent)
{
    if (!(percent >= 0 && percent < 100))
        throw CorvantaError("A tolerance is a percentage from 0 to below 100, not " + ShortestNumber(percent));
    bool named = false;
    for (TPartTolerance &part : parts)
        if (SameText(target, "all") || SameText(target, part.Name) || SameText(target, part.Kind)) {
            part.Percent = percent;
            named = true;
        }
    if (!named)
        throw CorvantaError("\"" + std::string(target) +
                            "\" names no part of this page, nor a kind (R, C, L, pot, source), nor all");
}

TToleranceBand CalcToleranceBand(const TCircuit &circuit, const std::vector<TPartTolerance> &parts, int runs,
                                 std::uint64_t seed, const std::atomic<bool> *cancel)
{
    if (runs < 1)
        throw CorvantaError("A tolerance band needs at least one run");
    // All draws first, in one sequence, so that the band is the same however
    // many threads share the runs. Every part draws in every run, even at 0%,
    // so that changing one part's tolerance leaves the others' draws alone.
    std::mt19937_64 generator(seed);
    std::vector<double> factors(static_cast<std::size_t>(runs) * parts.size());
    for (std::size_t i = 0; i < factors.size(); ++i)
        factors[i] = 1 + parts[i % parts.size()].Percent / 100 * (2 * UnitDraw(generator) - 1);

    std::vector<TTrace> curves(static_cast<std::size_t>(runs));
    const auto computeRuns = [&](std::size_t first, std::size_t step) {
        TCircuit work = circuit;
        TSymbolList &values = work.Symbols.Page(work.Active);
        const TSymbolList &nominal = circuit.ActiveValues();
        for (std::size_t run = first; run < curves.size(); run += step) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                throw TCancelled{};
            for (std::size_t p = 0; p < parts.size(); ++p)
                SetScaled(values, parts[p].Name, nominal.Find(parts[p].Name), factors[run * parts.size() + p]);
            CalcGainCurve(BuildNetlist(work), work.ResolutionStep, curves[run]);
        }
    };
    ForEachThread(std::min<std::size_t>(curves.size(), std::max(1u, std::thread::hardware_concurrency())),
                  computeRuns);

    TToleranceBand band;
    std::vector<double> column(curves.size());
    for (std::size_t k = 0; k < GridPoints; ++k) {
        for (std::size_t run = 0; run < curves.size(); ++run)
            column[run] = curves[run][k];
        std::sort(column.begin(), column.end());
        band.Min[k] = column.front();
        band.P5[k] = Quantile(column, 0.05);
        band.Median[k] = Quantile(column, 0.5);
        band.P95[k] = Quantile(column, 0.95);
        band.Max[k] = column.back();
    }
    return band;
}

std::vector<TSensitivity> CalcSensitivity(const TCircuit &circuit)
{
    TCircuit work = circuit;
    TSymbolList &values = work.Symbols.Page(work.Active);
    std::vector<TSensitivity> table;
    for (const TSymbolList::Entry &entry : circuit.ActiveValues()) {
        if (entry.Symbol->GetValue() == 0)
            continue;
        // A central difference over +-1% of the value.
        TTrace up{}, down{};
        SetScaled(values, entry.Name, *entry.Symbol, 1.01);
        CalcGainCurve(BuildNetlist(work), work.ResolutionStep, up);
        SetScaled(values, entry.Name, *entry.Symbol, 0.99);
        CalcGainCurve(BuildNetlist(work), work.ResolutionStep, down);
        SetScaled(values, entry.Name, *entry.Symbol, 1);
        TSensitivity row{entry.Name, KindOf(*entry.Symbol).Kind, 0, 0};
        for (int k = 0; k < GridPoints; ++k) {
            const double change = (up[std::size_t(k)] - down[std::size_t(k)]) / 2;
            if (std::abs(change) > std::abs(row.DbPerPercent)) {
                row.DbPerPercent = change;
                row.Frequency = GridFrequency(GridFirstStep + k);
            }
        }
        table.push_back(row);
    }
    std::stable_sort(table.begin(), table.end(), [](const TSensitivity &a, const TSensitivity &b) {
        return std::abs(a.DbPerPercent) > std::abs(b.DbPerPercent);
    });
    return table;
}

} // namespace cva
