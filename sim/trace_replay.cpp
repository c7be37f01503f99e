// Loading a trace for replay, and the replaying printer's thread.
#include "sim/trace_replay.h"

#include "sim/frame_reader.h"
#include "trace/trace_line.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

using Clock = SimOutput::Clock;
using namespace sim_bytes;

namespace {

// A host message that stops arriving for this long is taken as it is, as a printer takes it.
constexpr auto kQuiet = std::chrono::milliseconds(500);
// After the last answer, how long the host may keep the port before the replay ends anyway.
constexpr auto kLeaveWait = std::chrono::seconds(10);

int64_t MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The host's bytes in the simulator's own words: it shares no decoding with the host's side.
std::string Describe(const std::vector<uint8_t>& bytes)
{
    FrameReader reader;
    reader.Feed(bytes.data(), bytes.size());
    std::optional<HostMessage> message = reader.Next();
    if (!message)
        message = reader.Expire();
    if (!message || reader.Strays() > 0)
        return "bytes inesperados";
    switch (message->kind) {
    case HostMessage::Kind::Syn:
        return "SYN";
    case HostMessage::Kind::Enq:
        return "ENQ do bloco " + std::to_string(message->block + 1);
    case HostMessage::Kind::Malformed:
        return "quadro malformado, recusado com " + std::to_string(message->fault.errorClass) + "/" +
               std::to_string(message->fault.detail);
    case HostMessage::Kind::Frame:
        break;
    }
    std::string params = message->params;
    std::replace_if(
        params.begin(), params.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20; }, '.');
    return "quadro: sequ\u00eancia " + std::to_string(message->seq) + ", comando " + std::to_string(message->cmd) +
           ", extens\u00e3o " + std::to_string(message->ext) +
           (message->checkOk ? "" : ", byte de verifica\u00e7\u00e3o errado") + ", par\u00e2metros \"" + params +
           "\"";
}

}  // namespace

bool LoadReplay(std::istream& in, std::vector<ReplayExchange>& exchanges, std::string& error)
{
    exchanges.clear();
    std::vector<std::string> texts;
    size_t first = SIZE_MAX;
    for (std::string text; std::getline(in, text);) {
        if (first == SIZE_MAX && IsTraceHeader(text))
            first = texts.size();
        texts.push_back(std::move(text));
    }
    size_t number = first == SIZE_MAX ? 0 : first;
    for (; number < texts.size();) {
        std::string& text = texts[number++];
        TraceLine line;
        std::string why;
        const TraceRead read = ReadTraceLine(text, line, why);
        if (read == TraceRead::kBad) {
            error = "linha " + std::to_string(number) + ": " + why;
            return false;
        }
        if (read == TraceRead::kSkipped)
            continue;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        ReplayMessage message {number, text, line.ms, std::move(line.bytes)};
        if (line.way == TraceWay::kHost)
            exchanges.push_back({std::move(message), {}});
        else if (line.way == TraceWay::kPrinter && !exchanges.empty())
            exchanges.back().answers.push_back(std::move(message));
    }
    if (exchanges.empty()) {
        error = "nenhuma mensagem do computador (\u2192) em " + std::to_string(texts.size()) + " linhas";
        return false;
    }
    return true;
}

TraceReplay::TraceReplay(std::vector<ReplayExchange> recorded, Options opts)
    : exchanges(std::move(recorded)),
      options(opts)
{
    output.SetBaud(options.baud);
}

TraceReplay::~TraceReplay() { Stop(); }

bool TraceReplay::Start()
{
    if (thread.joinable() || !line.Open())
        return false;
    opened = lastInput = Clock::now();
    thread = std::thread([this] { Run(); });
    return true;
}

void TraceReplay::Stop()
{
    stopRequested = true;
    line.Wake();
    if (thread.joinable())
        thread.join();
    line.Close();
}

void TraceReplay::Run()
{
    uint8_t chunk[4096];
    bool hostAway = false;
    while (!stopRequested) {
        const SimOutput::Flushed flushed = output.Flush(line);
        if (flushed.failed) {
            outcome = Outcome::kLineFailed;
            return;
        }
        if (!ended && next == exchanges.size() && output.Empty())
            RoundDone();
        // The pseudo-terminal drops what the host has not read when it closes: wait for the host.
        if (ended && (hostAway || Clock::now() - endedAt >= kLeaveWait)) {
            outcome = Outcome::kReplayed;
            return;
        }

        // When to look again without input; never while nothing is due.
        Clock::time_point wakeAt = flushed.blocked ? SimOutput::kNever : output.NextTime();
        if (!got.empty())
            wakeAt = std::min(wakeAt, lastInput + kQuiet);
        if (ended)
            wakeAt = std::min(wakeAt, endedAt + kLeaveWait);

        const SimLine::Ready ready = line.Wait(MsUntil(wakeAt), flushed.blocked);
        if (ready.failed || ready.hangup) {
            outcome = Outcome::kLineFailed;
            return;
        }
        hostAway = ready.hostAway;
        if (ready.input) {
            const long n = line.Read(chunk, sizeof chunk);
            if (n > 0) {
                lastInput = Clock::now();
                output.HostBytes(static_cast<size_t>(n));
                if (!Take(chunk, static_cast<size_t>(n)))
                    return;
            }
        }
        if (!got.empty() && Clock::now() - lastInput >= kQuiet) {
            // A message cut short: it is all the host is going to send.
            differs = true;
            ReportDifference();
            return;
        }
    }
}

bool TraceReplay::Take(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        got.push_back(bytes[i]);
        if (differs)
            continue;
        if (ended || next == exchanges.size()) {
            differs = true;
            continue;
        }
        const std::vector<uint8_t>& want = exchanges[next].host.bytes;
        if (got.size() <= want.size() && std::equal(got.begin(), got.end(), want.begin())) {
            if (got.size() == want.size())
                Answer(exchanges[next]);
        } else if (got.size() == 1 && got[0] == kSyn && want.size() > 1 && want[0] == kSoh) {
            // A recording that starts after the synchronisation: the host asks for the number
            // its recorded frame carries.
            output.Add({kSyn, want[1]}, output.AnswerTime());
            got.clear();
        } else {
            differs = true;
        }
    }
    if (!differs)
        return true;
    // Reported once the differing message is whole, so that it reads as one.
    FrameReader reader;
    reader.Feed(got.data(), got.size());
    if (!reader.Next())
        return true;
    ReportDifference();
    return false;
}

void TraceReplay::Answer(const ReplayExchange& exchange)
{
    const Clock::time_point base = output.AnswerTime();
    for (const ReplayMessage& answer : exchange.answers) {
        // A new link in the recording starts its clock again: no gap then.
        const int64_t gap = options.fast ? 0 : std::max<int64_t>(0, answer.ms - exchange.host.ms);
        output.Add(answer.bytes, base + std::chrono::milliseconds(gap));
    }
    got.clear();
    ++next;
}

void TraceReplay::RoundDone()
{
    std::printf("%zu trocas reproduzidas\n", exchanges.size());
    std::fflush(stdout);
    next = 0;
    if (options.loop)
        return;
    ended = true;
    endedAt = Clock::now();
}

void TraceReplay::ReportDifference()
{
    const std::string gotLine =
        FormatTraceLine(MsSince(opened), TraceWay::kHost, Describe(got), got.data(), got.size());
    if (next >= exchanges.size() || ended) {
        std::fprintf(stderr,
                     "kestro-sim: o computador enviou mais depois do fim da grava\u00e7\u00e3o\n  veio:     %s\n",
                     gotLine.c_str());
    } else {
        const ReplayMessage& want = exchanges[next].host;
        std::fprintf(stderr,
                     "kestro-sim: linha %zu da grava\u00e7\u00e3o: o computador enviou outra coisa\n  esperado: "
                     "%s\n  veio:     %s\n",
                     want.lineNumber, want.text.c_str(), gotLine.c_str());
    }
    outcome = Outcome::kDiffers;
}
