#include "NgspiceRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "models/Calc.h"

namespace {
int RunCount = 0;
}

std::vector<TSpicePoint> RunNgspice(const std::function<std::string(const std::string &dataFile)> &deck,
                                    const std::string &name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("corvanta-spice-" + std::to_string(::getpid()) + "-" + std::to_string(RunCount++));
    std::filesystem::create_directories(folder);
    const std::filesystem::path deckFile = folder / "deck.cir";
    const std::filesystem::path dataFile = folder / "ac.txt";
    std::filesystem::remove(dataFile);
    std::ofstream(deckFile) << deck(dataFile.string());
    const std::string command = "ngspice -b " + deckFile.string() + " > " + (folder / "log.txt").string() + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "ngspice failed on " << name << "; is it installed?";
    std::vector<TSpicePoint> points;
    std::ifstream data(dataFile);
    TSpicePoint p{};
    while (data >> p.Frequency >> p.GainDB >> p.PhaseRad)
        points.push_back(p);
    if (std::getenv("CORVANTA_KEEP_SPICE") == nullptr)
        std::filesystem::remove_all(folder);
    return points;
}

std::string WriteDataBlock(const std::string &node, const std::string &dataFile, TSweep sweep)
{
    // The grid's last frequency to every digit: ngspice spreads its points
    // evenly up to the stop frequency, so a rounded one shifts them all.
    char stop[40];
    std::snprintf(stop, sizeof stop, "%.17g", cva::GridFrequency(cva::GridLastStep));
    const std::string analysis = sweep == TSweep::Deck ? "run" : "ac dec 128 10 " + std::string(stop);
    return ".control\nset noaskquit\noption numdgt=15\n" + analysis + "\nset wr_singlescale\nwrdata " + dataFile + " vdb(" + node + ") vp(" + node + ")\nquit\n.endc\n.end\n";
}
