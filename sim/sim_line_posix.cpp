// The simulator's line on Linux: a pseudo-terminal, polled together with a wake-up pipe.
#include "sim/sim_line.h"

#include "serial/port_list.h"
#include "serial/system.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kHostAwayPollMs = 5;  // how often to look for the host while it has the port closed

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

struct SimLine::System {
    int master = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
};

SimLine::SimLine() : system(std::make_unique<System>())
{
    // Lives as long as the object, so DropLine or SetFrameTimeout racing with Stop never writes to a closed pipe.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) == 0) {
        system->wakeRead = pipeFds[0];
        system->wakeWrite = pipeFds[1];
    }
}

SimLine::~SimLine()
{
    Close();
    CloseFd(system->wakeRead);
    CloseFd(system->wakeWrite);
}

bool SimLine::Open()
{
    if (system->wakeRead < 0)
        return false;
    // Raw from the first moment: with echo on, the host would read its own frame back.
    termios raw {};
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&raw, B115200);
    ::cfsetospeed(&raw, B115200);
    int slave = -1;
    if (::openpty(&system->master, &slave, nullptr, &raw, nullptr) != 0) {
        system->master = -1;
        return false;
    }
    // A printer does not hold the host's port: the slave end is left to the host alone, and
    // the master side sees a hang-up whenever the host has it closed.
    CloseFd(slave);
    char name[128];
    if (::ptsname_r(system->master, name, sizeof name) != 0) {
        Close();
        return false;
    }
    hostPath = name;
    ::fcntl(system->master, F_SETFD, FD_CLOEXEC);
    ::fcntl(system->master, F_SETFL, ::fcntl(system->master, F_GETFL) | O_NONBLOCK);
    return true;
}

void SimLine::Close() { CloseFd(system->master); }

bool SimLine::IsOpen() const { return system->master >= 0; }

std::string SimLine::HostName() const { return PortNameForDevicePath(hostPath); }

SimLine::Ready SimLine::Wait(int timeoutMs, bool wantRoom)
{
    pollfd fds[2] = {{system->master, static_cast<short>(POLLIN | (wantRoom ? POLLOUT : 0)), 0},
                     {system->wakeRead, POLLIN, 0}};
    Ready ready;
    if (::poll(fds, 2, timeoutMs) < 0 && errno != EINTR) {
        ready.failed = true;
        return ready;
    }
    if (fds[1].revents & POLLIN) {
        uint8_t drain[256];
        while (::read(system->wakeRead, drain, sizeof drain) > 0) {}
    }
    ready.input = (fds[0].revents & POLLIN) != 0;
    ready.hangup = (fds[0].revents & (POLLERR | POLLNVAL)) != 0;
    if (!ready.input && (fds[0].revents & POLLHUP)) {
        ready.hostAway = true;
        // The host has the port closed, which is no end of the line: look again shortly, or
        // when woken.
        pollfd wake {system->wakeRead, POLLIN, 0};
        ::poll(&wake, 1, kHostAwayPollMs);
    }
    return ready;
}

long SimLine::Read(uint8_t* destination, size_t size)
{
    const ssize_t n = ::read(system->master, destination, size);
    return n > 0 ? static_cast<long>(n) : 0;
}

long SimLine::Write(const uint8_t* source, size_t size)
{
    for (;;) {
        const ssize_t n = ::write(system->master, source, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EAGAIN)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

void SimLine::Wake()
{
    if (system->wakeWrite >= 0) {
        const uint8_t byte = 1;
        // A full pipe already means "look again", so a failed write loses nothing.
        [[maybe_unused]] ssize_t n = ::write(system->wakeWrite, &byte, 1);
    }
}
