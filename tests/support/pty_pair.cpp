// Pseudo-terminal pair for tests that talk to a real port.
#include "tests/support/pty_pair.h"

#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios tio {};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    slavePath = name;
}

PtyPair::~PtyPair()
{
    Drop();
    if (slave >= 0)
        ::close(slave);
}

void PtyPair::Send(const std::vector<uint8_t>& bytes) const
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t done = ::write(master, bytes.data() + sent, bytes.size() - sent);
        if (done < 0 && errno != EINTR && errno != EAGAIN)
            throw std::runtime_error("far end write failed");
        if (done > 0)
            sent += static_cast<size_t>(done);
    }
}

std::vector<uint8_t> PtyPair::Receive(size_t n, std::chrono::milliseconds deadline) const
{
    std::vector<uint8_t> bytes;
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (bytes.size() < n && std::chrono::steady_clock::now() < end) {
        pollfd ready {master, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        uint8_t buffer[4096];
        const ssize_t got = ::read(master, buffer, std::min(sizeof buffer, n - bytes.size()));
        if (got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void PtyPair::Drop()
{
    if (master >= 0)
        ::close(master);
    master = -1;
}

void PtyPair::ReleasePort()
{
    if (slave >= 0)
        ::close(slave);
    slave = -1;
}
