// Far ends for the Windows tests under Wine (a Linux program): raw pseudo-terminals. Alone, one that
// sends back every byte it receives; with --join, two joined to each other, so that a Windows program
// on one COM port talks to another on the second; with --hang-up, one that closes its far end when
// the first byte arrives, as a pulled cable. Prints each port's path on a line of its own; ends on
// SIGTERM.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopping = 0;

void Stop(int) { stopping = 1; }

bool SendAll(int fd, const unsigned char* bytes, ssize_t n)
{
    while (n > 0 && !stopping) {
        const ssize_t done = ::write(fd, bytes, static_cast<size_t>(n));
        if (done < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (done > 0) {
            bytes += done;
            n -= done;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 && std::strcmp(argv[1], "--join") == 0 ? 2 : 1;
    const bool hangUp = argc > 1 && std::strcmp(argv[1], "--hang-up") == 0;
    int masters[2] = {-1, -1};
    int slaves[2] = {-1, -1};
    for (int i = 0; i < count; ++i) {
        char name[128] = {};
        if (openpty(&masters[i], &slaves[i], name, nullptr, nullptr) != 0) {
            std::perror("openpty");
            return 1;
        }
        termios tio {};
        tcgetattr(slaves[i], &tio);
        cfmakeraw(&tio);
        tcsetattr(slaves[i], TCSANOW, &tio);
        std::printf("%s\n", name);
    }
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    std::fflush(stdout);

    // The slaves stay open here, so no far end sees a hang-up while its port is closed between
    // two opens.
    unsigned char buffer[4096];
    while (!stopping) {
        pollfd ready[2] = {{masters[0], POLLIN, 0}, {masters[1], POLLIN, 0}};
        if (::poll(ready, count, 100) <= 0)
            continue;
        for (int i = 0; i < count; ++i) {
            if ((ready[i].revents & POLLIN) == 0)
                continue;
            const ssize_t got = ::read(masters[i], buffer, sizeof buffer);
            if (got > 0 && hangUp) {
                ::close(masters[i]);
                masters[i] = -1;  // poll passes over it from now on
                continue;
            }
            // Alone it answers itself; joined, each passes what it got to the other.
            if (got > 0 && !SendAll(masters[(i + 1) % count], buffer, got))
                return 1;
        }
    }
    return 0;
}
