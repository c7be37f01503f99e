// kestro-sim: a simulated fiscal printer on a pseudo-terminal for manual and scripted runs, or a
// saved trace played back as the printer.
#include "sim/sim_cli.h"
#include "sim/trace_replay.h"
#include "vocab/cp1252.h"
#include "vocab/error_reason.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>

namespace {

// Until SIGINT or SIGTERM, or until the run is over; the short wait lets us notice that.
void ServeUntil(sigset_t& stopSignals, const std::function<bool()>& over)
{
    const timespec step {0, 200 * 1000 * 1000};
    while (sigtimedwait(&stopSignals, nullptr, &step) < 0) {
        if (over())
            return;
    }
}

// Starts the printer and puts its device path first on stdout, where the host's side looks for it.
template <typename Printer>
bool StartAndAnnounce(Printer& printer)
{
    if (!printer.Start()) {
        std::fprintf(stderr, "kestro-sim: n\u00e3o foi poss\u00edvel abrir um pseudoterminal: %s\n",
                     Cp1252ToUtf8(ErrorReason(errno)).c_str());
        return false;
    }
    std::printf("%s\n", printer.SlavePath().c_str());
    std::fflush(stdout);
    return true;
}

int Simulate(const SimCliConfig& config, sigset_t& stopSignals)
{
    PrinterSim::Options options = config.options;
    options.spoils.seed = config.spoilSeed ? *config.spoilSeed : std::random_device {}();
    if (config.verbose)
        options.spoils.report = [](const SimSpoil& spoil) {
            std::fprintf(stderr, "kestro-sim: %s\n", SpoilText(spoil).c_str());
        };
    PrinterSim sim(options);
    ApplySimCli(config, sim);
    if (!StartAndAnnounce(sim))
        return 1;
    // A dropped line ends the run like an unplugged printer.
    ServeUntil(stopSignals, [&sim] { return sim.LineDropped(); });
    if (sim.LineDropped())
        std::fprintf(stderr, "kestro-sim: linha cortada\n");
    sim.Stop();
    return 0;
}

int Replay(const SimCliConfig& config, sigset_t& stopSignals)
{
    // The whole file is read first: nothing half-read is played.
    std::ifstream in(config.replay, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "kestro-sim: n\u00e3o foi poss\u00edvel ler %s: %s\n", config.replay.c_str(),
                     Cp1252ToUtf8(ErrorReason(errno)).c_str());
        return 2;
    }
    std::vector<ReplayExchange> exchanges;
    std::string error;
    if (!LoadReplay(in, exchanges, error)) {
        std::fprintf(stderr, "kestro-sim: %s: %s\n", config.replay.c_str(), error.c_str());
        return 2;
    }
    TraceReplay replay(std::move(exchanges), {config.fast, config.loop, config.options.baud});
    if (!StartAndAnnounce(replay))
        return 1;
    ServeUntil(stopSignals, [&replay] { return replay.Result() != TraceReplay::Outcome::kRunning; });
    const TraceReplay::Outcome outcome = replay.Result();
    replay.Stop();
    if (outcome == TraceReplay::Outcome::kLineFailed)
        std::fprintf(stderr, "kestro-sim: a linha falhou\n");
    return outcome == TraceReplay::Outcome::kDiffers || outcome == TraceReplay::Outcome::kLineFailed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    SimCliConfig config;
    std::string error;
    if (!ParseSimCli(std::vector<std::string>(argv + 1, argv + argc), config, error)) {
        std::fprintf(stderr, "kestro-sim: %s. Veja kestro-sim --help.\n", error.c_str());
        return 2;
    }
    if (config.help) {
        std::fputs(SimCliUsage(), stdout);
        return 0;
    }

    // Blocked before the serving thread starts, so only sigtimedwait ever takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return config.replay.empty() ? Simulate(config, stopSignals) : Replay(config, stopSignals);
}
