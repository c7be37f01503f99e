// Option parsing and the plans that kestro-sim hands to its PrinterSim.
#include "sim/sim_cli.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

// "a,b,c" into count values in [0, max]; count between minCount and maxCount.
bool ParseNumbers(const std::string& text, size_t minCount, size_t maxCount, long max, std::vector<long>& values)
{
    values.clear();
    size_t from = 0;
    for (;;) {
        const size_t comma = text.find(',', from);
        const std::string part = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos || part.size() > 10)
            return false;
        const long value = std::strtol(part.c_str(), nullptr, 10);
        if (value > max)
            return false;
        values.push_back(value);
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return values.size() >= minCount && values.size() <= maxCount;
}

SimPair PairOf(const std::vector<long>& values, size_t at)
{
    return {static_cast<uint8_t>(values[at]), static_cast<uint8_t>(values[at + 1])};
}

// "N" or "N,C,D": a count with an optional pair.
bool ParseCountAndPair(const std::string& text, int& count, SimPair& pair)
{
    std::vector<long> values;
    if (!ParseNumbers(text, 1, 3, 65535, values) || values.size() == 2)
        return false;
    if (values.size() == 3) {
        if (values[1] > 255 || values[2] > 255)
            return false;
        pair = PairOf(values, 1);
    }
    count = static_cast<int>(values[0]);
    return true;
}

}  // namespace

const char* SimCliUsage()
{
    return "Usage: kestro-sim [options]\n"
           "Simulates a fiscal printer on a new pseudo-terminal. The first line on stdout is the\n"
           "device path (e.g. /dev/pts/4); it then serves the host until SIGINT or SIGTERM, or until\n"
           "it drops the line.\n"
           "\n"
           "Identity:\n"
           "  --model TEXT          model answered to 26/0 \"15|2|\"\n"
           "  --ns TEXT             fiscal-memory serial number, answered to \"15|4|\"\n"
           "  --sb TEXT             basic-software version (six digits), answered to \"15|14|\"\n"
           "  --seq N               sequence number the first SYN reports (0-255, default 0)\n"
           "  --frame-timeout MS    a frame that stops arriving for this long is refused (default 500)\n"
           "\n"
           "Misbehaviour (pairs are C,D = error class and detail, 0-255):\n"
           "  --busy N[,C,D]        answer the first N frames with DC1 and the pair (default 0,0)\n"
           "  --busy-syn N[,C,D]    answer the first N SYNs with DC1 and the pair\n"
           "  --refuse C,D          answer every frame with NAK and the pair\n"
           "  --silent              never answer a frame\n"
           "  --garbage             answer every frame with the byte 41 instead of ACK\n"
           "  --eager               send the first response block right after the ACK, without ENQ\n"
           "  --split PIECES,MS     write every block in PIECES pieces, MS milliseconds apart\n"
           "  --header-error C,D    the first block's header carries the error pair\n"
           "  --enq-busy N[,C,D]    answer the first N ENQs of every response with DC1, the pair and\n"
           "                        three filler bytes\n"
           "  --blocks K            cut every response into K blocks\n"
           "  --truncate N          the first block stops after N data bytes, then silence\n"
           "  --drop-after N        close the line when frame N+1 arrives\n"
           "  --random SEED         answer each frame at random: correct, busy, refused, silent,\n"
           "                        garbage, split, header error or truncated block\n"
           "  --help                this text\n";
}

bool ParseSimCli(const std::vector<std::string>& args, SimCliConfig& config, std::string& error)
{
    std::vector<long> values;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool flag =
            option == "--help" || option == "--silent" || option == "--garbage" || option == "--eager";
        if (!flag && i + 1 >= args.size()) {
            error = option.rfind("--", 0) == 0 ? option + " needs a value" : "unknown option " + option;
            return false;
        }
        const std::string value = flag ? std::string() : args[++i];
        bool ok = true;
        SimPlan& plan = config.defaultPlan;
        if (option == "--help") {
            config.help = true;
        } else if (option == "--silent") {
            plan.reply.answer = SimAnswer::Silent;
        } else if (option == "--garbage") {
            plan.reply.answer = SimAnswer::Garbage;
        } else if (option == "--eager") {
            plan.eager = true;
        } else if (option == "--model") {
            config.options.identity.model = value;
        } else if (option == "--ns") {
            config.options.identity.ns = value;
        } else if (option == "--sb") {
            config.options.identity.sb = value;
        } else if (option == "--seq") {
            ok = ParseNumbers(value, 1, 1, 255, values);
            if (ok)
                config.options.firstSeq = static_cast<uint8_t>(values[0]);
        } else if (option == "--frame-timeout") {
            ok = ParseNumbers(value, 1, 1, 600000, values) && values[0] > 0;
            if (ok)
                config.options.frameTimeoutMs = static_cast<int>(values[0]);
        } else if (option == "--busy") {
            ok = ParseCountAndPair(value, config.busyFrames, config.busyPair);
        } else if (option == "--busy-syn") {
            ok = ParseCountAndPair(value, config.busySyns, config.busySynPair);
        } else if (option == "--enq-busy") {
            ok = ParseCountAndPair(value, plan.enqBusy, plan.enqBusyPair);
        } else if (option == "--refuse" || option == "--header-error") {
            ok = ParseNumbers(value, 2, 2, 255, values);
            if (ok && option == "--refuse")
                plan.reply = {SimAnswer::Refuse, PairOf(values, 0)};
            else if (ok)
                plan.headerError = PairOf(values, 0);
            // Class 0 in a header means "no error", which would silently hide the option.
            ok = ok && !(option == "--header-error" && values[0] == 0);
        } else if (option == "--split") {
            ok = ParseNumbers(value, 2, 2, 60000, values) && values[0] >= 1;
            if (ok) {
                plan.pieces = static_cast<int>(values[0]);
                plan.pieceDelayMs = static_cast<int>(values[1]);
            }
        } else if (option == "--blocks") {
            ok = ParseNumbers(value, 1, 1, 65535, values) && values[0] >= 1;
            if (ok)
                plan.blockCount = static_cast<int>(values[0]);
        } else if (option == "--truncate") {
            ok = ParseNumbers(value, 1, 1, 65535, values);
            if (ok)
                plan.truncateAt = static_cast<int>(values[0]);
        } else if (option == "--drop-after") {
            ok = ParseNumbers(value, 1, 1, 1000000, values);
            if (ok)
                config.dropAfter = static_cast<int>(values[0]);
        } else if (option == "--random") {
            ok = ParseNumbers(value, 1, 1, 4294967295L, values);
            if (ok)
                config.randomSeed = static_cast<uint32_t>(values[0]);
        } else {
            error = "unknown option " + option;
            return false;
        }
        if (!ok) {
            error = "bad value for " + option + ": " + value;
            return false;
        }
    }
    return true;
}

void ApplySimCli(const SimCliConfig& config, PrinterSim& sim)
{
    sim.SetDefaultPlan(config.defaultPlan);
    for (int i = 0; i < config.busySyns; ++i)
        sim.QueueSynReply({SimAnswer::Busy, config.busySynPair});
    // The queue runs ahead of the default plan: busy frames first, the drop at its position.
    const int queued = std::max(config.busyFrames, config.dropAfter + 1);
    for (int i = 0; i < queued; ++i) {
        if (i == config.dropAfter)
            sim.QueuePlan(SimPlan::Answer(SimAnswer::DropLine));
        else if (i < config.busyFrames)
            sim.QueuePlan(SimPlan::Answer(SimAnswer::Busy, config.busyPair));
        else
            sim.QueuePlan(config.defaultPlan);
    }
    if (config.randomSeed)
        sim.SetRandom(*config.randomSeed);
}
