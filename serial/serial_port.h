// An open port as the serial driver moves its bytes, whatever kind it is (a device of this system,
// a port on a serial server), and the one opener for every kind. What each system does its own
// way is declared in serial/system.h.
#pragma once

#include "serial/port_address.h"
#include "serial/port_status.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// How a port's line was lost: a device's line gone (an adapter pulled), a server's connection
// ended, a server that turned this client away because another one holds the port, a raw
// port's server that speaks telnet (it wants rfc2217://), or a server that no longer answers
// what it must answer itself (SerialPort::AskFarEnd).
enum class LineLoss { kNone, kLineGone, kServerGone, kTurnedAway, kSpeaksTelnet, kServerSilent };

// How long a far end asked whether it is still there (SerialPort::AskFarEnd) may take to answer.
constexpr std::chrono::milliseconds kFarEndAnswerWait {1000};

struct LostLine {
    LineLoss kind = LineLoss::kNone;
    int code = 0;  // the system's code that told of it, for the log
    explicit operator bool() const { return kind != LineLoss::kNone; }
};

// An open, configured port. Destroying it closes the port.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Returns at once with what is queued, or waits at most 5 ms for a first byte (a socket at
    // most 50 ms, see ReadWaitsForBytes).
    // Returns the count read; 0 on failure or when nothing came.
    virtual int Read(uint8_t* destination, int n) = 0;
    // Sends n bytes, allowing at most 5 ms per byte. True when the system accepted the write,
    // even if it was cut short by that limit.
    virtual bool Write(const uint8_t* source, int n) = 0;
    // Sends what the system takes of n bytes now, waiting at most a few milliseconds for room:
    // the count taken (0 when none fitted), or -1 when the write failed. For a relay, which must
    // neither lose a byte nor hold more than it has read.
    virtual int WriteSome(const uint8_t* source, int n) { return Write(source, n) ? n : -1; }
    // Asks the system, without reading or waiting, whether the line is gone.
    virtual void CheckLine() = 0;
    // True for a port whose Read waits as long as the reader's pause for a first byte, and returns
    // as it comes (a socket, whose answers take some milliseconds): the reader then needs no pause,
    // and the bytes reach the receive buffer as they arrive, as a device's driver queues them.
    virtual bool ReadWaitsForBytes() const { return false; }
    // True while the far end of a line that outlives its users (a pseudo-terminal that this
    // program made) has nobody on it: its program closed it, and may open it again.
    virtual bool FarEndAway() const { return false; }
    // Asks the far end of a line that has one of its own (an RFC 2217 server) something that it
    // answers itself, whatever the printer does, so that its silence can be told from the
    // printer's. One that says nothing within kFarEndAnswerWait loses the line (kServerSilent).
    // False when there is nobody to ask (a device, a raw socket) or the question was not sent.
    virtual bool AskFarEnd() { return false; }
    // Since the last AskFarEnd: true once the far end said anything, or the line was lost.
    virtual bool FarEndAnswered() const { return true; }
    // How the line was lost, as Read, Write or CheckLine met it; kNone while it is there. Any thread.
    LostLine Lost() const
    {
        const std::lock_guard<std::mutex> guard(lostLock);
        return lost;
    }

protected:
    // The first loss met is the one kept.
    void MarkLost(LineLoss kind, int code)
    {
        const std::lock_guard<std::mutex> guard(lostLock);
        if (!lost)
            lost = {kind, code};
    }

private:
    mutable std::mutex lostLock;
    LostLine lost;
};

struct PortOpenResult {
    std::unique_ptr<SerialPort> port;  // empty when the port did not open
    // When it did not: why, as the open found it (the system's code, the holder, the group),
    // so that nobody has to ask the system again.
    PortStatus failure;
};

// How an open that succeeds looks for another program that opened the port before. Every open
// looks for the signs that cost microseconds: the exclusive open itself (a program that locked the
// port) and a live lock file (FindLockingProgram). kLook also walks every process's descriptors
// (FindHoldingProgram), which costs tens of milliseconds on a busy machine: a link looks so when
// it connects, not for every command.
enum class HolderCheck { kCheap, kLook };

// Called between the steps of an open that waits (a serial server's name and connection may take
// seconds), so that the caller's window stays alive; true abandons the open, which then fails with
// CancelledError (serial/system.h). Empty: the open waits to its bound.
using OpenPoll = std::function<bool()>;

// Opens a port by its address: a device (OpenDevicePort), or a port on a serial server
// (OpenNetworkPort, serial/network_port.h).
PortOpenResult OpenSerialPort(const PortAddress& port, const std::string& modeText, int queueSize,
                              HolderCheck check = HolderCheck::kLook);
// The same, with the poll between the steps of its waits.
PortOpenResult OpenPolledPort(const PortAddress& port, const std::string& modeText, int queueSize,
                              HolderCheck check, const OpenPoll& poll);

// Lets tests and tools put another port behind a SerialDevice.
using SerialPortOpener = std::function<PortOpenResult(const PortAddress& port, const std::string& modeText,
                                                      int queueSize, HolderCheck check)>;

