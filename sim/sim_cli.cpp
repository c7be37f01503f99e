// Option parsing and the plans that kestro-sim hands to its PrinterSim.
#include "sim/sim_cli.h"

#include "base/option_table.h"
#include "vocab/usage_words.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr const char* kValue = "um valor";  // "--seq precisa de um valor"

// "a,b,c" into count values in [0, max]; count between minCount and maxCount.
bool ParseNumbers(const std::string& text, size_t minCount, size_t maxCount, int64_t max,
                  std::vector<int64_t>& values)
{
    values.clear();
    size_t from = 0;
    for (;;) {
        const size_t comma = text.find(',', from);
        const std::string part = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos || part.size() > 10)
            return false;
        const int64_t value = std::strtoll(part.c_str(), nullptr, 10);
        if (value > max)
            return false;
        values.push_back(value);
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return values.size() >= minCount && values.size() <= maxCount;
}

SimPair PairOf(const std::vector<int64_t>& values, size_t at)
{
    return {static_cast<uint8_t>(values[at]), static_cast<uint8_t>(values[at + 1])};
}

// "C,D": an error class and detail.
bool ParsePair(const std::string& text, SimPair& pair)
{
    std::vector<int64_t> values;
    if (!ParseNumbers(text, 2, 2, 255, values))
        return false;
    pair = PairOf(values, 0);
    return true;
}

// "N" or "N,C,D": a count with an optional pair.
bool ParseCountAndPair(const std::string& text, int& count, SimPair& pair)
{
    std::vector<int64_t> values;
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

// "PIECES,MS": every block written in PIECES pieces, MS milliseconds apart.
bool ParseSplit(const std::string& text, SimPlan& plan)
{
    std::vector<int64_t> values;
    if (!ParseNumbers(text, 2, 2, 60000, values) || values[0] < 1)
        return false;
    plan.pieces = static_cast<int>(values[0]);
    plan.pieceDelayMs = static_cast<int>(values[1]);
    return true;
}

OptionRule TextRule(const char* name, std::string& text)
{
    return {name, kValue, [&text](const std::string& value) {
                text = value;
                return true;
            }};
}

// One whole number in [min, max].
template <typename T>
OptionRule NumberRule(const char* name, int64_t min, int64_t max, T& number)
{
    return {name, kValue, [min, max, &number](const std::string& value) {
                std::vector<int64_t> values;
                if (!ParseNumbers(value, 1, 1, max, values) || values[0] < min)
                    return false;
                number = static_cast<T>(values[0]);
                return true;
            }};
}

// A chance from 0 to 1, written as a decimal fraction: "0.05".
OptionRule RateRule(const char* name, double& rate)
{
    return {name, kValue, [&rate](const std::string& value) {
                const size_t point = value.find('.');
                const std::string digits =
                    point == std::string::npos ? value : value.substr(0, point) + value.substr(point + 1);
                if (digits.empty() || digits.size() > 12 ||
                    digits.find_first_not_of("0123456789") != std::string::npos)
                    return false;
                rate = std::strtod(value.c_str(), nullptr);
                return rate <= 1;
            }};
}

// A switch that sets how every frame is answered.
OptionRule AnswerRule(const char* name, SimAnswer answer, SimPlan& plan)
{
    return {name, kSwitch, [answer, &plan](const std::string&) {
                plan.reply.answer = answer;
                return true;
            }};
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
           "\n"
           "A bad line (RATE is a chance from 0 to 1, such as 0.05):\n"
           "  --noise RATE          flip one bit of each byte sent with this chance\n"
           "  --drop RATE           leave out each whole answer (to a SYN, a frame or an ENQ) with\n"
           "                        this chance\n"
           "  --seed N              spoil the same answers on every run of the same conversation\n"
           "                        (0-4294967295; default: different on every run)\n"
           "  --verbose             say on standard error what the line spoiled\n"
           "\n"
           "Replay (a trace saved by kestro's \"Salvar...\" or kestro-cli's --trace-file):\n"
           "  --replay FILE         answer as the recorded printer did: each host message must be the\n"
           "                        recorded one, and the recorded answers follow after the recorded\n"
           "                        gaps. Ends with \"N trocas reproduzidas\" and status 0; a host message\n"
           "                        that differs is shown with its trace line and ends with status 1;\n"
           "                        a line that does not read ends with status 2 before the port opens.\n"
           "                        Combines with nothing that changes the answers: only with --fast,\n"
           "                        --loop and --baud.\n"
           "  --fast                with --replay: answer at once, without the recorded gaps\n"
           "  --loop                with --replay: start over at the end instead of ending\n"
           "\n"
           "Line:\n"
           "  --baud RATE           pace every byte at RATE bit/s, 10 bits a byte (8N1), replay too;\n"
           "                        answers also wait for the host's bytes to cross the line.\n"
           "                        Default: as fast as the pseudo-terminal goes\n"
           "  --help                this text\n";
}

bool ParseSimCli(const std::vector<std::string>& args, SimCliConfig& config, std::string& error)
{
    SimPlan& plan = config.defaultPlan;
    PrinterSim::Options& options = config.options;
    // The options that change the printer's answers, which a replay takes from its file (and
    // --verbose, which tells how they were spoiled).
    std::vector<OptionRule> answerRules = {
        AnswerRule("--silent", SimAnswer::Silent, plan),
        AnswerRule("--garbage", SimAnswer::Garbage, plan),
        SwitchRule("--eager", plan.eager),
        TextRule("--model", options.identity.model),
        TextRule("--ns", options.identity.ns),
        TextRule("--sb", options.identity.sb),
        NumberRule("--seq", 0, 255, options.firstSeq),
        NumberRule("--frame-timeout", 1, 600000, options.frameTimeoutMs),
        {"--busy", kValue,
         [&](const std::string& v) { return ParseCountAndPair(v, config.busyFrames, config.busyPair); }},
        {"--busy-syn", kValue,
         [&](const std::string& v) { return ParseCountAndPair(v, config.busySyns, config.busySynPair); }},
        {"--enq-busy", kValue,
         [&](const std::string& v) { return ParseCountAndPair(v, plan.enqBusy, plan.enqBusyPair); }},
        {"--refuse", kValue,
         [&](const std::string& v) {
             if (!ParsePair(v, plan.reply.pair))
                 return false;
             plan.reply.answer = SimAnswer::Refuse;
             return true;
         }},
        // Class 0 in a header means "no error", which would silently hide the option.
        {"--header-error", kValue,
         [&](const std::string& v) { return ParsePair(v, plan.headerError) && plan.headerError.errorClass != 0; }},
        {"--split", kValue, [&](const std::string& v) { return ParseSplit(v, plan); }},
        NumberRule("--blocks", 1, 65535, plan.blockCount),
        NumberRule("--truncate", 0, 65535, plan.truncateAt),
        NumberRule("--drop-after", 0, 1000000, config.dropAfter),
        NumberRule("--random", 0, UINT32_MAX, config.randomSeed),
        RateRule("--noise", options.spoils.noise),
        RateRule("--drop", options.spoils.drop),
        NumberRule("--seed", 0, UINT32_MAX, config.spoilSeed),
        SwitchRule("--verbose", config.verbose),
    };
    int answerOptions = 0;
    std::vector<OptionRule> rules = {
        SwitchRule("--help", config.help),
        TextRule("--replay", config.replay),
        SwitchRule("--fast", config.fast),
        SwitchRule("--loop", config.loop),
        NumberRule("--baud", 50, 4000000, options.baud),
    };
    for (OptionRule& rule : answerRules) {
        rule.take = [take = std::move(rule.take), &answerOptions](const std::string& value) {
            ++answerOptions;
            return take(value);
        };
        rules.push_back(std::move(rule));
    }
    const auto unknown = [](const std::string& word, std::string& wordError) {
        wordError = "op\u00e7\u00e3o desconhecida '" + word + "'";
        return false;
    };
    if (!ParseOptions(args, rules, unknown, {NeedsValueText, BadValueText}, error))
        return false;
    if (!config.replay.empty() && answerOptions > 0) {
        error = "--replay s\u00f3 combina com --fast, --loop e --baud";
        return false;
    }
    if (config.replay.empty() && (config.fast || config.loop)) {
        error = "--fast e --loop precisam de --replay";
        return false;
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
