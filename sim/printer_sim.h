// A fiscal printer on its line (sim_line.h): answers SYN, command frames and ENQ from one thread,
// and can be told to misbehave on the next commands. Used in-process by tests and by kestro-sim.
#pragma once

#include "sim/frame_reader.h"
#include "sim/line_spoiler.h"
#include "sim/printer_commands.h"
#include "sim/sim_line.h"
#include "sim/sim_output.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

// The immediate answer to a SYN or a command frame.
enum class SimAnswer {
    Normal,   // SYN: 16 + sequence; frame: ACK (or the printer's own NAK for an unknown command)
    Busy,     // 11 + pair
    Refuse,   // 15 + pair
    Silent,   // nothing at all
    Garbage,  // the single byte 41
    DropLine  // close the pseudo-terminal instead of answering
};

struct SimReply {
    SimAnswer answer = SimAnswer::Normal;
    SimPair pair;
};

// How one command frame is answered and its response served. A default-constructed plan is a
// correct printer. Plans are consumed by frames that pass the checks (length, check byte,
// sequence): a malformed frame is refused with its protocol pair and leaves the queue alone.
struct SimPlan {
    SimReply reply;

    // Response. Explicit block payloads (one string per block, the last marked last) replace the
    // command's own data, and the command is then accepted whatever it is. Without them the
    // command's own data is cut into blockCount blocks.
    std::optional<std::vector<std::string>> blocks;
    int blockCount = 1;

    bool eager = false;    // first block right after the ACK, without waiting for ENQ
    int pieces = 1;        // every block, and a NAK or DC1 answer, written in this many pieces...
    int pieceDelayMs = 0;  // ...with this pause between them
    SimPair headerError;   // class != 0: block headerErrorBlock carries this pair and no data
    int headerErrorBlock = 0;
    int enqBusy = 0;  // the first N ENQs of the response get 11 + enqBusyPair + 00 00 00
    SimPair enqBusyPair;
    int truncateAt = -1;  // >= 0: block 0 stops after this many data bytes (no trailing byte), then silence

    static SimPlan Answer(SimAnswer answer, SimPair pair = {});
    static SimPlan WithBlocks(std::vector<std::string> payloads);
};

// `data` cut into `count` blocks of nearly equal size (at least one block, possibly empty ones).
std::vector<std::string> SplitIntoBlocks(const std::string& data, int count);

struct SimCounts {
    uint64_t syns = 0;
    uint64_t frames = 0;  // every frame, malformed ones included
    uint64_t enqs = 0;
    uint64_t acks = 0;
    uint64_t naks = 0;
    uint64_t blocks = 0;     // response blocks written (whole or in pieces), busy answers to ENQ excluded
    uint64_t bytesSent = 0;  // bytes actually written to the line
};

class PrinterSim {
public:
    struct Options {
        SimIdentity identity;
        uint8_t firstSeq = 0;      // what the first SYN answers
        int frameTimeoutMs = 500;  // a started frame with no new byte for this long is refused (15/3)
        int baud = 0;              // > 0: the line's speed, which paces every byte both ways
        LineSpoils spoils;         // a bad line: answers left out, bits flipped
    };

    PrinterSim();
    explicit PrinterSim(Options options);
    ~PrinterSim();
    PrinterSim(const PrinterSim&) = delete;
    PrinterSim& operator=(const PrinterSim&) = delete;

    // Opens the line (raw at once) and starts serving it; false if that failed or it runs.
    bool Start();
    // Ends the thread and closes everything; safe to call twice.
    void Stop();
    std::string SlavePath() const;  // "/dev/pts/4"
    std::string PortName() const;   // "pts/4"

    // Sequence synchronisation: the number the next SYN reports and the next frame must carry.
    void SetNextSequence(uint8_t seq);
    uint8_t NextSequence() const;
    void SetFrameTimeout(std::chrono::milliseconds timeout);

    // Plans for the next frames, in order; then the default plan (or a random one) for the rest.
    void QueuePlan(const SimPlan& plan);
    void QueuePlan(const SimPlan& plan, int times);
    void QueueSynReply(SimReply reply);
    void SetDefaultPlan(const SimPlan& plan);
    // Frames beyond the queue get a plan drawn from a generator with this seed: correct, busy,
    // refused, silent, garbage, split with pauses, header error or truncated block.
    void SetRandom(uint32_t seed);
    void ClearPlans();  // queue, SYN replies, default and random mode

    // Closes the line and returns once it is closed; on Linux the host sees EOF/EIO and the
    // device disappears. Not to be called from a WaitUntil condition.
    void DropLine();
    bool LineDropped() const;

    std::vector<uint8_t> Received() const;
    void ClearReceived();
    SimCounts Counts() const;

    // Waits until condition() holds, re-checking after every event of the simulator; false on
    // timeout. The condition may call the getters above.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) const;
    bool WaitForReceivedSize(size_t n, std::chrono::milliseconds timeout) const;
    bool WaitForBytesSent(uint64_t n, std::chrono::milliseconds timeout) const;

private:
    struct Response {
        bool active = false;
        SimPlan plan;
        std::vector<std::string> blocks;
        size_t sent = 0;  // blocks sent so far; ENQ asks for this one or resends an earlier one
        int enqBusyLeft = 0;
        uint8_t seq = 0;
        uint8_t cmd = 0;
    };

    void Run();
    void Wake();
    void Notify();
    void Handle(const HostMessage& message);
    void HandleSyn();
    void HandleEnq(uint8_t block);
    void HandleFrame(const HostMessage& message);
    void Reply(SimReply reply, std::vector<uint8_t> normal, int pieces = 1, int pieceDelayMs = 0);
    SimPlan NextPlan();
    SimPlan RandomPlan();
    void SendBlock(size_t index);
    void SendInPieces(const std::vector<uint8_t>& bytes, int pieces, int pieceDelayMs);
    void Send(std::vector<uint8_t> bytes, std::chrono::milliseconds delay = {});
    bool Flush();
    void CloseLine();
    int PollTimeoutMs() const;

    Options options;
    SimLine line;
    std::thread thread;

    // Owned by the serving thread.
    FrameReader reader;
    SimOutput output;
    LineSpoiler spoiler;
    Response response;
    std::chrono::steady_clock::time_point lastInput;
    std::mt19937 rng;

    // Shared with the callers, under lock.
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    uint64_t generation = 0;
    bool stopRequested = false;
    bool dropRequested = false;
    bool dropped = false;
    uint8_t expectedSeq = 0;
    std::chrono::milliseconds frameTimeout;
    std::deque<SimPlan> plans;
    std::deque<SimReply> synReplies;
    SimPlan defaultPlan;
    bool randomMode = false;
    std::vector<uint8_t> received;
    SimCounts counts;
};
