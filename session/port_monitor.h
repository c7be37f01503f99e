// Watching another program talk to the printer: the printer's port and the other program's (a
// second port, or a pseudo-terminal made for it) opened as every port is, a relay between them,
// and what passes decoded as it goes. For kestro-cli monitor and "Monitorar outro programa".
#pragma once

#include "link/conversation_watch.h"
#include "serial/port_address.h"
#include "serial/port_relay.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PortMonitor {
public:
    struct Setup {
        PortAddress printerPort;
        PortAddress relayPort;  // the other program's port; none named: a pseudo-terminal is made
        std::string linkPath;   // with the pseudo-terminal: a symbolic link to it here
    };
    // The decoded messages, in order, one call at a time, on the monitor's decoding thread.
    using Listener = std::function<void(const std::vector<TrafficMessage>&)>;

    explicit PortMonitor(Listener listener);
    ~PortMonitor();
    PortMonitor(const PortMonitor&) = delete;
    PortMonitor& operator=(const PortMonitor&) = delete;

    // Opens both sides and starts relaying; false with FailureText saying why.
    bool Start(const Setup& setup);
    // Stops relaying; what passed and what is still incomplete goes to the listener. Closes both
    // ports (and removes the link).
    void Stop();
    // Waits at most `wait` for a side to be lost; true once one was.
    bool WaitEnded(std::chrono::milliseconds wait);

    // Windows-1252, as every port's texts: why Start failed, or which side was lost.
    const std::string& FailureText() const { return failure; }
    std::string EndText() const;
    // The ports as the notes name them; the other one is the pseudo-terminal's path when made.
    const std::string& PrinterPort() const { return printerName; }
    const std::string& OtherPort() const { return otherName; }
    // The conversation's counts; after Stop.
    const ConversationSummary& Summary() const { return watch.Summary(); }

    // What the relay may hold for the decoding before it waits: a stalled listener stops the
    // relay rather than grow the memory.
    static constexpr size_t kMaxQueuedBytes = 64 * 1024;

private:
    // A relay event copied, in the order the relay saw them.
    struct Queued {
        PortRelay::Event::Kind kind;
        PortRelay::Side from;
        int64_t ms;
        std::vector<uint8_t> bytes;
    };

    bool OpenOther(const Setup& setup);
    void OnRelay(const PortRelay::Event& event);
    // The decoding thread: takes what the relay queued and tells the time to the watch.
    void DecodeLoop();
    void Take(const Queued& event);
    void Note(int64_t ms, const std::string& text);
    void NoteAwayOnce(int64_t now);
    int64_t Now() const;
    void Deliver();

    const Listener listener;
    std::unique_ptr<SerialPort> printer;
    std::unique_ptr<SerialPort> other;
    std::unique_ptr<PortRelay> relay;
    std::string printerName, otherName, failure;
    std::chrono::steady_clock::time_point started;

    mutable std::mutex lock;  // the queue, and what the relay and the owner share with the decoding
    std::condition_variable changed;
    std::deque<Queued> queue;
    size_t queuedBytes = 0;
    bool stopping = false;
    std::string lostText;
    std::thread decoding;

    // The decoding thread's, and the owner's after Stop.
    ConversationWatch watch;
    std::vector<TrafficMessage> pending;
    // The other program's pseudo-terminal: since when nobody has it open (-1: somebody has), and
    // whether that was noted; the start counts as noted, so that the first open is.
    int64_t awaySince = -1;
    bool awayNoted = true;
};
