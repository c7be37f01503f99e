// Far end for the Windows tests under Wine (a Linux program): a raw pseudo-terminal that sends
// back every byte it receives. Prints the port's path on its first line; ends on SIGTERM.
#include <cerrno>
#include <csignal>
#include <cstdio>
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

int main()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios tio {};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    std::printf("%s\n", name);
    std::fflush(stdout);

    // The slave stays open here, so the far end sees no hang-up while the port is closed
    // between two opens.
    unsigned char buffer[4096];
    while (!stopping) {
        pollfd ready {master, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0 && !SendAll(master, buffer, got))
            return 1;
    }
    return 0;
}
