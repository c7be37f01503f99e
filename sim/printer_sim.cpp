// The simulated printer's thread: waits on its line, answers, and writes scheduled output.
#include "sim/printer_sim.h"

#include <algorithm>

using namespace sim_bytes;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kHeaderSize = 11;
constexpr uint8_t kBlockMark = 0x02;  // header byte 0: anything but DC1

// Header, data and a trailing byte that sums everything before it.
std::vector<uint8_t> EncodeBlock(uint8_t seq, uint8_t cmd, size_t index, bool last, SimPair error,
                                 const std::string& data)
{
    // Sized once: growing it with insert trips a false bounds warning of GCC 12.
    std::vector<uint8_t> bytes(kHeaderSize + data.size());
    std::copy(data.begin(), data.end(), bytes.begin() + kHeaderSize);
    bytes[0] = kBlockMark;
    bytes[1] = seq;
    bytes[2] = cmd;
    bytes[3] = static_cast<uint8_t>(index);
    bytes[4] = error.errorClass;
    bytes[5] = error.errorClass != 0 ? error.detail : (last ? 1 : 0);
    bytes[9] = static_cast<uint8_t>(data.size() & 0xFF);
    bytes[10] = static_cast<uint8_t>(data.size() >> 8);
    uint8_t sum = 0;
    for (uint8_t b : bytes)
        sum = static_cast<uint8_t>(sum + b);
    bytes.push_back(sum);
    return bytes;
}

}  // namespace

SimPlan SimPlan::Answer(SimAnswer answer, SimPair pair)
{
    SimPlan plan;
    plan.reply = {answer, pair};
    return plan;
}

SimPlan SimPlan::WithBlocks(std::vector<std::string> payloads)
{
    SimPlan plan;
    plan.blocks = std::move(payloads);
    return plan;
}

std::vector<std::string> SplitIntoBlocks(const std::string& data, int count)
{
    const size_t n = static_cast<size_t>(std::max(1, count));
    std::vector<std::string> blocks;
    size_t from = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t size = data.size() / n + (i < data.size() % n ? 1 : 0);
        blocks.push_back(data.substr(from, size));
        from += size;
    }
    return blocks;
}

PrinterSim::PrinterSim() : PrinterSim(Options {}) {}

PrinterSim::PrinterSim(Options opts)
    : options(std::move(opts)),
      spoiler(options.spoils),
      expectedSeq(options.firstSeq),
      frameTimeout(std::chrono::milliseconds(options.frameTimeoutMs))
{
    output.SetBaud(options.baud);
}

PrinterSim::~PrinterSim() { Stop(); }

bool PrinterSim::Start()
{
    if (thread.joinable() || line.IsOpen() || !line.Open())
        return false;
    // A restarted simulator begins with a clean line.
    reader = FrameReader {};
    output.Clear();
    response = Response {};
    {
        std::lock_guard<std::mutex> guard(lock);
        stopRequested = dropRequested = dropped = false;
    }
    thread = std::thread([this] { Run(); });
    return true;
}

void PrinterSim::Stop()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopRequested = true;
    }
    changed.notify_all();
    Wake();
    if (thread.joinable())
        thread.join();
    line.Close();
    Notify();
}

std::string PrinterSim::SlavePath() const { return line.HostPath(); }

std::string PrinterSim::PortName() const { return line.HostName(); }

void PrinterSim::SetNextSequence(uint8_t seq)
{
    std::lock_guard<std::mutex> guard(lock);
    expectedSeq = seq;
}

uint8_t PrinterSim::NextSequence() const
{
    std::lock_guard<std::mutex> guard(lock);
    return expectedSeq;
}

void PrinterSim::SetFrameTimeout(std::chrono::milliseconds timeout)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        frameTimeout = timeout;
    }
    Wake();
}

void PrinterSim::QueuePlan(const SimPlan& plan) { QueuePlan(plan, 1); }

void PrinterSim::QueuePlan(const SimPlan& plan, int times)
{
    std::lock_guard<std::mutex> guard(lock);
    for (int i = 0; i < times; ++i)
        plans.push_back(plan);
}

void PrinterSim::QueueSynReply(SimReply reply)
{
    std::lock_guard<std::mutex> guard(lock);
    synReplies.push_back(reply);
}

void PrinterSim::SetDefaultPlan(const SimPlan& plan)
{
    std::lock_guard<std::mutex> guard(lock);
    defaultPlan = plan;
}

void PrinterSim::SetRandom(uint32_t seed)
{
    std::lock_guard<std::mutex> guard(lock);
    randomMode = true;
    rng.seed(seed);
}

void PrinterSim::ClearPlans()
{
    std::lock_guard<std::mutex> guard(lock);
    plans.clear();
    synReplies.clear();
    defaultPlan = SimPlan {};
    randomMode = false;
}

void PrinterSim::DropLine()
{
    if (!thread.joinable()) {
        CloseLine();
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        dropRequested = true;
    }
    Wake();
    // Synchronous, so the caller's next write already meets a closed line. The thread closes the
    // descriptors itself because it is the only one polling them.
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return dropped || stopRequested; });
}

bool PrinterSim::LineDropped() const
{
    std::lock_guard<std::mutex> guard(lock);
    return dropped;
}

std::vector<uint8_t> PrinterSim::Received() const
{
    std::lock_guard<std::mutex> guard(lock);
    return received;
}

void PrinterSim::ClearReceived()
{
    std::lock_guard<std::mutex> guard(lock);
    received.clear();
}

SimCounts PrinterSim::Counts() const
{
    std::lock_guard<std::mutex> guard(lock);
    return counts;
}

bool PrinterSim::WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const
{
    const auto deadline = Clock::now() + timeout;
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        const uint64_t seen = generation;
        guard.unlock();
        if (condition())
            return true;
        guard.lock();
        if (!changed.wait_until(guard, deadline, [&] { return generation != seen; })) {
            guard.unlock();
            return condition();
        }
    }
}

bool PrinterSim::WaitForReceivedSize(size_t n, std::chrono::milliseconds timeout) const
{
    return WaitUntil([&] { return Received().size() >= n; }, timeout);
}

bool PrinterSim::WaitForBytesSent(uint64_t n, std::chrono::milliseconds timeout) const
{
    return WaitUntil([&] { return Counts().bytesSent >= n; }, timeout);
}

void PrinterSim::Wake() { line.Wake(); }

void PrinterSim::Notify()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ++generation;
    }
    changed.notify_all();
}

void PrinterSim::Run()
{
    uint8_t chunk[4096];
    for (;;) {
        std::chrono::milliseconds quietLimit;
        bool drop;
        {
            std::lock_guard<std::mutex> guard(lock);
            if (stopRequested)
                return;
            drop = dropRequested;
            quietLimit = frameTimeout;
        }
        if (drop) {
            CloseLine();
            return;
        }
        const bool blocked = Flush();

        Clock::time_point wakeAt = blocked ? SimOutput::kNever : output.NextTime();
        if (reader.Partial())
            wakeAt = std::min(wakeAt, lastInput + quietLimit);

        const SimLine::Ready ready = line.Wait(MsUntil(wakeAt), blocked);
        if (ready.failed) {
            CloseLine();
            return;
        }
        if (ready.input) {
            const long n = line.Read(chunk, sizeof chunk);
            if (n > 0) {
                lastInput = Clock::now();
                output.HostBytes(static_cast<size_t>(n));
                {
                    std::lock_guard<std::mutex> guard(lock);
                    received.insert(received.end(), chunk, chunk + n);
                    ++generation;
                }
                changed.notify_all();
                reader.Feed(chunk, static_cast<size_t>(n));
            }
        } else if (ready.hangup) {
            // Nothing left to serve.
            CloseLine();
            return;
        }
        while (auto message = reader.Next()) {
            Handle(*message);
            if (!line.IsOpen())
                return;
        }
        if (reader.Partial() && Clock::now() - lastInput >= quietLimit) {
            if (auto message = reader.Expire())
                Handle(*message);
            if (!line.IsOpen())
                return;
        }
    }
}

void PrinterSim::Handle(const HostMessage& message)
{
    uint64_t frames;
    {
        std::lock_guard<std::mutex> guard(lock);
        frames = counts.frames;
    }
    // An ENQ belongs to the last frame; a SYN, like a frame, to the next.
    spoiler.BeginAnswer(message.kind, message.kind == HostMessage::Kind::Enq ? frames : frames + 1);
    switch (message.kind) {
    case HostMessage::Kind::Syn:
        HandleSyn();
        break;
    case HostMessage::Kind::Enq:
        HandleEnq(message.block);
        break;
    case HostMessage::Kind::Frame:
    case HostMessage::Kind::Malformed:
        HandleFrame(message);
        break;
    }
    Notify();
}

void PrinterSim::HandleSyn()
{
    SimReply reply;
    uint8_t seq;
    {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.syns;
        if (!synReplies.empty()) {
            reply = synReplies.front();
            synReplies.pop_front();
        }
        seq = expectedSeq;
    }
    Reply(reply, {kSyn, seq});
}

void PrinterSim::Reply(SimReply reply, std::vector<uint8_t> normal, int pieces, int pieceDelayMs)
{
    switch (reply.answer) {
    case SimAnswer::Normal:
        Send(std::move(normal));
        break;
    case SimAnswer::Busy:
        SendInPieces({kDc1, reply.pair.errorClass, reply.pair.detail}, pieces, pieceDelayMs);
        break;
    case SimAnswer::Refuse: {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.naks;
    }
        SendInPieces({kNak, reply.pair.errorClass, reply.pair.detail}, pieces, pieceDelayMs);
        break;
    case SimAnswer::Silent:
        break;
    case SimAnswer::Garbage:
        Send({kGarbage});
        break;
    case SimAnswer::DropLine:
        CloseLine();
        break;
    }
}

void PrinterSim::HandleFrame(const HostMessage& message)
{
    // The host spends a number on every frame it sends, so the expected number moves on even for a
    // refused frame; after a wrong number it follows the host, so one slip costs one NAK.
    std::optional<SimPair> fault;
    {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.frames;
        if (message.kind == HostMessage::Kind::Malformed) {
            fault = message.fault;
            ++expectedSeq;
        } else if (!message.checkOk) {
            fault = kPairBadCheckByte;
            ++expectedSeq;
        } else if (message.seq != expectedSeq) {
            fault = kPairWrongSequence;
            expectedSeq = static_cast<uint8_t>(message.seq + 1);
        } else {
            ++expectedSeq;
        }
    }
    response = Response {};
    if (fault) {
        Reply({SimAnswer::Refuse, *fault}, {});
        return;
    }
    const SimPlan plan = NextPlan();
    if (plan.reply.answer != SimAnswer::Normal) {
        Reply(plan.reply, {}, plan.pieces, plan.pieceDelayMs);
        return;
    }
    std::vector<std::string> blocks;
    if (plan.blocks) {
        blocks = *plan.blocks;
    } else {
        const SimOutcome outcome = RunCommand(message.cmd, message.ext, message.params, options.identity);
        if (!outcome.accepted) {
            Reply({SimAnswer::Refuse, outcome.refusal}, {});
            return;
        }
        blocks = SplitIntoBlocks(outcome.data, plan.blockCount);
    }
    response.active = true;
    response.plan = plan;
    response.blocks = std::move(blocks);
    response.enqBusyLeft = plan.enqBusy;
    response.seq = message.seq;
    response.cmd = message.cmd;
    {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.acks;
    }
    Send({kAck});
    if (plan.eager && !response.blocks.empty())
        SendBlock(0);
}

SimPlan PrinterSim::NextPlan()
{
    std::lock_guard<std::mutex> guard(lock);
    if (!plans.empty()) {
        SimPlan plan = plans.front();
        plans.pop_front();
        return plan;
    }
    return randomMode ? RandomPlan() : defaultPlan;
}

SimPlan PrinterSim::RandomPlan()
{
    static constexpr SimPair kBusyPairs[] = {{0, 1}, {0, 2}};
    static constexpr SimPair kRefusals[] = {{1, 1}, {2, 1}, {5, 1}};
    static constexpr SimPair kHeaderErrors[] = {{5, 1}, {12, 1}};
    // Plain modulo on the engine's output keeps a seed's sequence the same on every library.
    SimPlan plan;
    const uint32_t r = rng();
    const uint32_t pick = rng();
    switch (r % 8) {
    case 0:
        break;
    case 1:
        plan.reply = {SimAnswer::Busy, kBusyPairs[pick % 2]};
        break;
    case 2:
        plan.reply = {SimAnswer::Refuse, kRefusals[pick % 3]};
        break;
    case 3:
        plan.reply.answer = SimAnswer::Silent;
        break;
    case 4:
        plan.reply.answer = SimAnswer::Garbage;
        break;
    case 5:
        plan.pieces = 2 + static_cast<int>(pick % 3);
        plan.pieceDelayMs = 10 + static_cast<int>(pick % 50);
        break;
    case 6:
        plan.headerError = kHeaderErrors[pick % 2];
        break;
    default:
        plan.truncateAt = static_cast<int>(pick % 4);
        break;
    }
    return plan;
}

void PrinterSim::HandleEnq(uint8_t block)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.enqs;
    }
    if (response.active && response.enqBusyLeft > 0) {
        --response.enqBusyLeft;
        const SimPair pair = response.plan.enqBusyPair;
        Send({kDc1, pair.errorClass, pair.detail, 0, 0, 0});
        return;
    }
    // The block byte is the low 8 bits of the host's count: equal to ours asks for the next block,
    // a little behind asks for one already sent again.
    const size_t behind = static_cast<uint8_t>(static_cast<uint8_t>(response.sent) - block);
    if (response.active && behind <= response.sent && response.sent - behind < response.blocks.size()) {
        SendBlock(response.sent - behind);
        return;
    }
    Send(EncodeBlock(response.seq, response.cmd, block, true, kPairNoSuchBlock, ""));
}

void PrinterSim::SendBlock(size_t index)
{
    const SimPlan& plan = response.plan;
    const bool last = index + 1 == response.blocks.size();
    std::vector<uint8_t> bytes;
    if (plan.headerError.errorClass != 0 && index == static_cast<size_t>(plan.headerErrorBlock)) {
        bytes = EncodeBlock(response.seq, response.cmd, index, last, plan.headerError, "");
    } else {
        const std::string& data = response.blocks[index];
        bytes = EncodeBlock(response.seq, response.cmd, index, last, {}, data);
        if (plan.truncateAt >= 0 && index == 0)
            bytes.resize(kHeaderSize + std::min(data.size(), static_cast<size_t>(plan.truncateAt)));
    }
    SendInPieces(bytes, plan.pieces, plan.pieceDelayMs);
    response.sent = std::max(response.sent, index + 1);
    std::lock_guard<std::mutex> guard(lock);
    ++counts.blocks;
}

void PrinterSim::SendInPieces(const std::vector<uint8_t>& bytes, int pieces, int pieceDelayMs)
{
    const size_t count = static_cast<size_t>(std::max(1, pieces));
    const size_t pieceSize = (bytes.size() + count - 1) / count;
    for (size_t k = 0; k * pieceSize < bytes.size(); ++k) {
        const size_t from = k * pieceSize;
        const size_t to = std::min(bytes.size(), from + pieceSize);
        Send(std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(to)),
             std::chrono::milliseconds(pieceDelayMs * static_cast<int>(k)));
    }
}

void PrinterSim::Send(std::vector<uint8_t> bytes, std::chrono::milliseconds delay)
{
    if (!spoiler.Pass(bytes))
        return;
    output.Add(std::move(bytes), output.AnswerTime() + delay);
}

bool PrinterSim::Flush()
{
    const SimOutput::Flushed flushed = output.Flush(line);
    if (flushed.written > 0) {
        {
            std::lock_guard<std::mutex> guard(lock);
            counts.bytesSent += flushed.written;
            ++generation;
        }
        changed.notify_all();
    }
    return flushed.blocked;
}

void PrinterSim::CloseLine()
{
    line.Close();
    output.Clear();
    {
        std::lock_guard<std::mutex> guard(lock);
        dropped = true;
        ++generation;
    }
    changed.notify_all();
}
