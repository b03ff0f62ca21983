#pragma once

// Runs ngspice in batch mode on a deck that writes its AC analysis to a data
// file (wrdata of the frequency, a gain in dB and a phase in radians).

#include <functional>
#include <string>
#include <vector>

struct TSpicePoint {
    double Frequency, GainDB, PhaseRad;
};

// 'deck' is given the data file's path and returns the deck's text.
std::vector<TSpicePoint> RunNgspice(const std::function<std::string(const std::string &dataFile)> &deck,
                                    const std::string &name);

// Where the AC analysis of a data block comes from: its own sweep over the
// grid, or the deck's ".ac" line, as a user running the deck gets it.
enum class TSweep { Grid, Deck };

// The control block that runs the AC analysis and writes vdb and vp of the
// node to the data file, to put in place of its ".end".
std::string WriteDataBlock(const std::string &node, const std::string &dataFile, TSweep sweep = TSweep::Grid);
