// A pseudo-terminal for tests: the far end (master) and the path of the port (slave).
#pragma once

#include "tests/support/wait_for.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& Path() const { return slavePath; }
    int FarEnd() const { return master; }
    int KeptPort() const { return slave; }
    // Writes all bytes from the far end.
    void Send(const std::vector<uint8_t>& bytes) const;
    // Reads what the port sent until n bytes came or the deadline passed.
    std::vector<uint8_t> Receive(size_t n, std::chrono::milliseconds deadline) const;
    // Closes the far end: the line is gone.
    void Drop();
    // Closes the kept port end, as a far end that is no second user of the port.
    void ReleasePort();

private:
    int master = -1;
    int slave = -1;  // kept open so that the far end never sees a hang-up between opens
    std::string slavePath;
};
