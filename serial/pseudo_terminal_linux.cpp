// Pseudo-terminals on Linux: the master end as a port; the other program's comings and goings
// show as hang-ups on it, which are no loss of the line.
#include "serial/pseudo_terminal.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kReadWaitMs = 5;

class PseudoTerminalPort final : public SerialPort {
public:
    PseudoTerminalPort(int fd, std::string path, std::string linkPath)
        : fd(fd),
          path(std::move(path)),
          linkPath(std::move(linkPath))
    {
    }
    ~PseudoTerminalPort() override
    {
        RemoveLink();
        ::close(fd);
    }

    int Read(uint8_t* destination, int n) override
    {
        pollfd waiting {fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kReadWaitMs);
        if (ready == 0)
            away = false;  // the far end is open and quiet
        if (ready <= 0 || n <= 0)
            return 0;
        if (waiting.revents & POLLIN) {
            const ssize_t got = ::read(fd, destination, static_cast<size_t>(n));
            if (got > 0) {
                away = false;
                return static_cast<int>(got);
            }
        }
        if (waiting.revents & POLLNVAL) {
            MarkLost(LineLoss::kLineGone, EBADF);
            return 0;
        }
        // Nobody has the far end open: wait as a read would, then look again.
        away = true;
        ::poll(nullptr, 0, kReadWaitMs);
        return 0;
    }

    bool Write(const uint8_t* source, int n) override { return WriteSome(source, n) == n; }

    int WriteSome(const uint8_t* source, int n) override
    {
        const ssize_t done = ::write(fd, source, static_cast<size_t>(n));
        if (done >= 0)
            return static_cast<int>(done);
        if (errno == EAGAIN || errno == EINTR || errno == EIO) {
            pollfd room {fd, POLLOUT, 0};
            ::poll(&room, 1, kReadWaitMs);
            return 0;
        }
        MarkLost(LineLoss::kLineGone, errno);
        return -1;
    }

    void CheckLine() override {}
    bool FarEndAway() const override { return away; }

private:
    // Only the link this port made: a file put there since stays.
    void RemoveLink() const
    {
        if (linkPath.empty())
            return;
        char target[256];
        const ssize_t length = ::readlink(linkPath.c_str(), target, sizeof target - 1);
        if (length > 0 && std::string(target, static_cast<size_t>(length)) == path)
            ::unlink(linkPath.c_str());
    }

    const int fd;
    const std::string path;
    const std::string linkPath;
    std::atomic<bool> away {true};
};

}  // namespace

bool PseudoTerminalsAvailable() { return true; }

PseudoTerminalResult MakePseudoTerminal(const std::string& linkPath)
{
    PseudoTerminalResult result;
    // Raw from the first moment: with echo on, the other program would read its own frames back.
    termios raw {};
    ::cfmakeraw(&raw);
    raw.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&raw, B115200);
    ::cfsetospeed(&raw, B115200);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
        result.error = errno;
        return result;
    }
    // The far end is the other program's alone: holding it would hide its closing.
    ::close(slave);
    char name[128];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        result.error = errno;
        ::close(master);
        return result;
    }
    if (!linkPath.empty() && ::symlink(name, linkPath.c_str()) != 0) {
        result.error = errno;
        result.linkFailed = true;
        ::close(master);
        return result;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    result.path = name;
    result.port = std::make_unique<PseudoTerminalPort>(master, name, linkPath);
    return result;
}
