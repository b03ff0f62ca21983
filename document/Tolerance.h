#pragma once

// What the spread of real parts does to the curve: many runs of the active
// page's circuit, each part drawn uniformly within its tolerance, and the
// range the curves cover at each frequency; and how strongly each part moves
// the curve.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Circuit.h"
#include "models/Calc.h"

namespace cva {

struct TPartTolerance {
    std::string Name;
    std::string Kind;   // "R", "C", "L", "pot" or "source"
    double Percent = 0; // each draw lies within +- this share of the value
};

// Every part of the active page with its kind's usual tolerance: resistors
// 5%, capacitors and inductors 10%, pots 20%, the source 0%.
std::vector<TPartTolerance> DefaultTolerances(const TCircuit &circuit);

// Sets the tolerance of the parts NAME names: a part's name, a kind ("R",
// "C", "L", "pot", "source") or "all", in any letter case. A NAME that names
// nothing on the page, or a percentage that is negative or not below 100, is
// an error and changes nothing.
void SetTolerance(std::vector<TPartTolerance> &parts, std::string_view target, double percent);

struct TToleranceBand {
    TTrace Min{}, P5{}, Median{}, P95{}, Max{};
};

constexpr std::uint64_t DefaultToleranceSeed = 20;

// Runs the circuit engine over the grid at the circuit's resolution 'runs'
// times with values drawn from 'seed'; one draw serves every frequency of a
// run, so each run is a circuit that could be built. The runs share all
// cores; the band does not depend on how many. 'cancel', when set
// from another thread, stops the work with TCancelled.
TToleranceBand CalcToleranceBand(const TCircuit &circuit, const std::vector<TPartTolerance> &parts, int runs,
                                 std::uint64_t seed, const std::atomic<bool> *cancel = nullptr);

struct TCancelled {};

struct TSensitivity {
    std::string Name;
    std::string Kind;
    double Frequency = 0; // where the part moves the curve most
    double DbPerPercent = 0; // signed: the curve's change for +1% of the value there
};

// Every part with a value, the strongest first.
std::vector<TSensitivity> CalcSensitivity(const TCircuit &circuit);

} // namespace cva
