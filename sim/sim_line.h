// The simulated printer's end of its line, one implementation per system: on Linux the master side of a
// pseudo-terminal that the simulator opens; on Windows the far one of two COM ports that the test
// script joins. With the wake-up through which callers interrupt the simulator's wait.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class SimLine {
public:
    SimLine();
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Opens a fresh line, raw from the first moment; false when none can be had, and when the
    // wake-up could not be made.
    bool Open();
    // Closes it: on Linux the host's device goes away; on Windows the line falls silent.
    void Close();
    bool IsOpen() const;

    const std::string& HostPath() const { return hostPath; }  // "/dev/pts/4", "\\.\COM51"
    std::string HostName() const;                             // as port lists show it: "pts/4", "COM51"

    struct Ready {
        bool input = false;     // Read has bytes
        bool hangup = false;    // nothing more will come
        bool failed = false;    // the wait itself failed
        bool hostAway = false;  // the host has the port closed (Linux only)
    };
    // Waits at most timeoutMs (without limit when negative) for input, for room to write (when
    // wantRoom) or for Wake.
    Ready Wait(int timeoutMs, bool wantRoom);
    // The bytes read, or 0.
    long Read(uint8_t* destination, size_t size);
    // The bytes written; 0 when the line takes nothing now; -1 when it is unusable.
    long Write(const uint8_t* source, size_t size);
    // Ends a Wait early; callable from any thread.
    void Wake();

private:
    struct System;
    std::unique_ptr<System> system;
    std::string hostPath;
};
