// kestro-sim: a simulated fiscal printer on a pseudo-terminal for manual and scripted runs.
#include "sim/sim_cli.h"

#include <csignal>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    SimCliConfig config;
    std::string error;
    if (!ParseSimCli(std::vector<std::string>(argv + 1, argv + argc), config, error)) {
        std::fprintf(stderr, "kestro-sim: %s\nTry 'kestro-sim --help'.\n", error.c_str());
        return 2;
    }
    if (config.help) {
        std::fputs(SimCliUsage(), stdout);
        return 0;
    }

    // Blocked before the serving thread starts, so only sigtimedwait below ever takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    PrinterSim sim(config.options);
    ApplySimCli(config, sim);
    if (!sim.Start()) {
        std::perror("kestro-sim: cannot open a pseudo-terminal");
        return 1;
    }
    std::printf("%s\n", sim.SlavePath().c_str());
    std::fflush(stdout);

    // A dropped line ends the run like an unplugged printer; the short wait lets us notice it.
    const timespec step {0, 200 * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &step) < 0) {
        if (sim.LineDropped()) {
            std::fprintf(stderr, "kestro-sim: line dropped\n");
            break;
        }
    }
    sim.Stop();
    return 0;
}
