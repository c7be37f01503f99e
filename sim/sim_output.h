// What the simulated printer has yet to write to its line: byte runs in order, each no sooner than
// its time and, at a line speed, no faster than a wire carries them (8N1: 10 bits a byte).
#pragma once

#include "sim/sim_line.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class SimOutput {
public:
    using Clock = std::chrono::steady_clock;

    // Bits per second; 0 writes as fast as the line takes the bytes.
    void SetBaud(int bitsPerSecond) { baud = bitsPerSecond; }
    // The host's bytes just taken off the line: at a line speed they are still on their wire for
    // their time, and nothing answers them before they have all arrived.
    void HostBytes(size_t count);
    // When an answer to what the host has sent may start.
    Clock::time_point AnswerTime() const;

    void Add(std::vector<uint8_t> bytes, Clock::time_point due);

    struct Flushed {
        size_t written = 0;
        bool blocked = false;  // the line takes nothing now: wait for room
        bool failed = false;   // the line is unusable; what was to be sent is dropped
    };
    // Writes what is due and what the wire has carried by now.
    Flushed Flush(SimLine& line);
    // What no wait is due at: the line is waited on until something happens.
    static constexpr Clock::time_point kNever = Clock::time_point::max();
    // When Flush has more to write; kNever when all is written.
    Clock::time_point NextTime() const;
    bool Empty() const { return runs.empty(); }
    void Clear() { runs.clear(); }

private:
    struct Run {
        Clock::time_point due;
        std::vector<uint8_t> bytes;
        size_t written = 0;
    };
    Clock::duration ByteTime() const;

    std::deque<Run> runs;
    int baud = 0;
    Clock::time_point wireDoneAt {};  // the printer's last byte written has fully arrived by then
    Clock::time_point hostDoneAt {};  // the host's last byte has fully arrived by then
};

// The milliseconds from now until `at` for SimLine::Wait: rounded up, never below 0, and -1 (no
// limit) for kNever.
int MsUntil(SimOutput::Clock::time_point at);
