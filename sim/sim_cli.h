// Command line of kestro-sim: turns options into simulator settings, kept apart from main() so it can be tested.
#pragma once

#include "sim/printer_sim.h"

#include <optional>
#include <string>
#include <vector>

struct SimCliConfig {
    PrinterSim::Options options;
    SimPlan defaultPlan;  // applies to every command
    int busyFrames = 0;   // the first N frames are answered busy
    SimPair busyPair;
    int busySyns = 0;  // the first N SYNs are answered busy
    SimPair busySynPair;
    int dropAfter = -1;  // the frame after this many frames drops the line
    std::optional<uint32_t> randomSeed;
    std::optional<uint32_t> spoilSeed;  // --seed; without it each run spoils differently
    bool verbose = false;               // what the bad line spoiled, on standard error
    bool help = false;
    std::string replay;  // a trace file to play back instead of the printer's own answers
    bool fast = false;   // with replay: no recorded gaps
    bool loop = false;   // with replay: start over at the end
};

// args excludes the program name. False with a message on the first bad option, and when
// --replay comes with an option that changes the answers.
bool ParseSimCli(const std::vector<std::string>& args, SimCliConfig& config, std::string& error);
// Queues the counted misbehaviours and sets the rest as the default plan.
void ApplySimCli(const SimCliConfig& config, PrinterSim& sim);
const char* SimCliUsage();
