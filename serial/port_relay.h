// Passes bytes between two open ports both ways, unchanged and in order, so that another program
// can talk to the printer through this one while it watches. It never sends a byte of its own,
// and holds at most one read's bytes per direction: a side that stops reading stops the other.
#pragma once

#include "serial/serial_port.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

class PortRelay {
public:
    enum class Side { kPrinter, kOther };
    struct Event {
        enum class Kind {
            kBytes,  // `from` sent these; they are passed on next
            kLost,   // `from`'s line is gone; the relay has stopped
            kAway,   // the other side's program closed its port (Kestro's pseudo-terminal)
            kBack,   // and opened it again
        };
        Kind kind = Kind::kBytes;
        Side from = Side::kPrinter;
        const uint8_t* bytes = nullptr;
        size_t length = 0;
    };
    // Called on the relay's two threads, so it locks what it shares. Bytes are shown before they
    // are written on, so that the two directions are seen in the order they happened: it must be
    // quick (take a copy), for it delays them.
    using Watcher = std::function<void(const Event&)>;

    PortRelay(SerialPort& printer, SerialPort& other, Watcher watcher);
    ~PortRelay();
    PortRelay(const PortRelay&) = delete;
    PortRelay& operator=(const PortRelay&) = delete;

    void Start();
    // Ends both directions within a few milliseconds (a write blocked on a full side at its
    // next try); bytes read and not yet written are dropped.
    void Stop();
    // True once a side was lost (or a write on it failed) and the relay stopped.
    bool Ended() const { return ended; }

private:
    void Pass(SerialPort& from, SerialPort& to, Side fromSide);
    // Writes every byte unless the relay stops or `to` is lost; false then.
    bool WriteAll(SerialPort& to, const uint8_t* bytes, size_t length);
    void Lose(Side side);
    void WatchAway(SerialPort& from, Side fromSide, bool& wasAway);

    SerialPort& printer;
    SerialPort& other;
    const Watcher watcher;
    std::atomic<bool> stopping {false};
    std::atomic<bool> ended {false};
    std::atomic<bool> lossSaid {false};
    std::thread toOther, toPrinter;
};
