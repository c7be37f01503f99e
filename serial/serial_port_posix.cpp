// POSIX serial port: termios in raw mode, exclusive through TIOCEXCL and flock.
#include "serial/line_settings.h"
#include "serial/system.h"
#include "serial/port_list.h"
#include "serial/port_status.h"
#include "serial/serial_port.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kReadWaitMs = 5;
constexpr int kWriteMsPerByte = 5;

bool BaudConstant(long baud, speed_t& speed)
{
    static const struct {
        long baud;
        speed_t speed;
    } table[] = {
        {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
        {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
        {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const auto& entry : table) {
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

bool Configure(int fd, const LineSettings& settings)
{
    speed_t speed;
    termios tio {};
    if (!BaudConstant(settings.baud, speed) || tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[settings.dataBits - 5] | CLOCAL | CREAD;
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    if (settings.parity != 'n')
        tio.c_cflag |= PARENB | (settings.parity == 'o' ? PARODD : 0);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    // Hold DTR and RTS inactive; a pseudo-terminal has no modem lines, so failure is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIC, &lines);
    return true;
}

// The ports this process holds, for ReleaseAllPorts.
std::mutex heldLock;
std::set<int> held;

// Opens exclusively: TIOCEXCL keeps out other opens of ordinary users, flock keeps out
// another instance even when it runs as root (TIOCEXCL does not stop root).
int OpenExclusive(const std::string& path, int& error)
{
    // Only serial terminals are ever opened: opening is not harmless for every device.
    if (!NotASerialPortReason(path).empty()) {
        error = ENOTTY;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (!isatty(fd)) {
        error = ENOTTY;
    } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (ioctl(fd, TIOCEXCL) != 0) {
        error = errno;
    } else {
        const std::lock_guard<std::mutex> guard(heldLock);
        held.insert(fd);
        return fd;
    }
    ::close(fd);
    return -1;
}

void CloseExclusive(int fd)
{
    // The exclusive mark stays on the terminal while any other descriptor holds it open, which
    // would lock out the next ordinary user: take it off before closing.
    const std::lock_guard<std::mutex> guard(heldLock);
    held.erase(fd);
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

class PosixSerialPort final : public SerialPort {
public:
    explicit PosixSerialPort(int fd) : fd(fd) {}
    ~PosixSerialPort() override { CloseExclusive(fd); }

    int Read(uint8_t* destination, int n) override
    {
        pollfd waiting {fd, POLLIN, 0};
        if (n <= 0 || ::poll(&waiting, 1, kReadWaitMs) <= 0)
            return 0;
        if (!(waiting.revents & POLLIN)) {
            MarkIfHungUp(waiting.revents);
            return 0;
        }
        const ssize_t got = ::read(fd, destination, static_cast<size_t>(n));
        if (got > 0)
            return static_cast<int>(got);
        // A hung-up terminal reads as zero bytes at once: without this it would look like a
        // printer that is merely silent.
        if (got < 0 && IsLineLostError(errno))
            MarkLost(LineLoss::kLineGone, errno);
        else
            MarkIfHungUp(waiting.revents);
        return 0;
    }

    void CheckLine() override
    {
        pollfd line {fd, 0, 0};
        if (::poll(&line, 1, 0) > 0)
            MarkIfHungUp(line.revents);
    }

    bool Write(const uint8_t* source, int n) override
    {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(kWriteMsPerByte * n);
        int sent = 0;
        while (sent < n) {
            const ssize_t done = ::write(fd, source + sent, static_cast<size_t>(n - sent));
            if (done > 0) {
                sent += static_cast<int>(done);
                continue;
            }
            if (done < 0 && errno != EAGAIN && errno != EINTR) {
                if (IsLineLostError(errno))
                    MarkLost(LineLoss::kLineGone, errno);
                return false;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
            if (left.count() <= 0)
                break;  // cut short by the write limit: still a successful write call
            pollfd room {fd, POLLOUT, 0};
            ::poll(&room, 1, static_cast<int>(left.count()));
        }
        return true;
    }

    int WriteSome(const uint8_t* source, int n) override
    {
        for (int tries = 0; tries < 2; ++tries) {
            const ssize_t done = ::write(fd, source, static_cast<size_t>(n));
            if (done >= 0)
                return static_cast<int>(done);
            if (errno != EAGAIN && errno != EINTR) {
                if (IsLineLostError(errno))
                    MarkLost(LineLoss::kLineGone, errno);
                return -1;
            }
            pollfd room {fd, POLLOUT, 0};
            ::poll(&room, 1, kReadWaitMs);
        }
        return 0;
    }

private:
    void MarkIfHungUp(short revents)
    {
        if (revents & POLLNVAL)
            MarkLost(LineLoss::kLineGone, EBADF);
        else if (revents & (POLLHUP | POLLERR))
            MarkLost(LineLoss::kLineGone, EIO);
    }

    int fd;
};

}  // namespace

PortOpenResult OpenDevicePort(const std::string& path, const std::string& modeText, int /*queueSize*/,
                              HolderCheck check)
{
    PortOpenResult result;
    int error = 0;
    const int fd = OpenExclusive(path, error);
    if (fd < 0) {
        result.failure = ExplainOpenFailure(path, error);
        return result;
    }
    // The exclusive mark keeps out only those who ask for it: a program that opened the port
    // before us would read the printer's answers away. Refused as Windows refuses it.
    const bool held = check == HolderCheck::kLook ? FindHoldingProgram(path, result.failure)
                                                  : FindLockingProgram(path, result.failure);
    if (held) {
        CloseExclusive(fd);
        result.failure.error = EBUSY;
        return result;
    }
    // As on Windows, a port that opened is usable even if a setting was refused; an unreadable
    // mode text leaves the line as it was.
    if (const auto settings = ParseModeText(modeText))
        Configure(fd, *settings);
    result.port = std::make_unique<PosixSerialPort>(fd);
    return result;
}

bool ProbeSerialPort(const std::string& path, int* error)
{
    int ignored = 0;
    const int fd = OpenExclusive(path, error ? *error : ignored);
    if (fd < 0)
        return false;
    CloseExclusive(fd);
    return true;
}

void ReleaseAllPorts()
{
    const std::lock_guard<std::mutex> guard(heldLock);
    for (const int fd : held)
        ioctl(fd, TIOCNXCL);
}

bool IsLineLostError(int error) { return error == EIO || error == ENXIO || error == ENODEV; }
