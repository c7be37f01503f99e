// kestro-sim --replay: a saved trace played back as the printer. Each message from the host is
// checked against the recording, and the printer's recorded messages answer it, byte for byte.
#pragma once

#include "sim/sim_line.h"
#include "sim/sim_output.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <thread>
#include <vector>

struct ReplayMessage {
    size_t lineNumber = 0;
    std::string text;  // the line as the trace has it
    int64_t ms = 0;
    std::vector<uint8_t> bytes;
};

// One message of the host and the printer's messages that followed it.
struct ReplayExchange {
    ReplayMessage host;
    std::vector<ReplayMessage> answers;
};

// Reads a whole trace before anything is played. Comments, notes and messages that were never
// sent are passed over, and so is what the printer sent before the host's first message. False
// with "line N: why" when a line does not read or no message of the host is there.
bool LoadReplay(std::istream& in, std::vector<ReplayExchange>& exchanges, std::string& error);

class TraceReplay {
public:
    struct Options {
        bool fast = false;  // answers at once instead of after the recorded gaps
        bool loop = false;  // starts over at the end instead of ending
        int baud = 0;       // > 0: the line's speed, which paces every byte both ways
    };
    enum class Outcome { kRunning, kReplayed, kDiffers, kLineFailed };

    TraceReplay(std::vector<ReplayExchange> exchanges, Options options);
    ~TraceReplay();
    TraceReplay(const TraceReplay&) = delete;
    TraceReplay& operator=(const TraceReplay&) = delete;

    // Opens the line and starts serving it; false if that failed.
    bool Start();
    void Stop();
    std::string SlavePath() const { return line.HostPath(); }
    // kReplayed once the recording has been played and the host has let go of the port (or a
    // while has passed); kDiffers once the host sent something else, reported on stderr.
    Outcome Result() const { return outcome; }

private:
    void Run();
    // Takes the host's bytes; false once they differ from the recording.
    bool Take(const uint8_t* bytes, size_t count);
    void Answer(const ReplayExchange& exchange);
    // The recording has been played: says so, and starts over or waits for the host to leave.
    void RoundDone();
    void ReportDifference();

    const std::vector<ReplayExchange> exchanges;
    const Options options;
    SimLine line;
    SimOutput output;
    std::thread thread;
    std::atomic<bool> stopRequested {false};
    std::atomic<Outcome> outcome {Outcome::kRunning};

    // Owned by the serving thread.
    size_t next = 0;           // the exchange whose host message comes next
    std::vector<uint8_t> got;  // the host's bytes of that message so far
    bool differs = false;      // got is not what the recording has
    bool ended = false;        // played to the end, without --loop
    SimOutput::Clock::time_point opened, lastInput, endedAt;
};
