// POSIX sockets for a network port: a non-blocking TCP connection with Nagle's algorithm off and
// keepalive on, so that a server's machine gone without a word is found in seconds.
#include "serial/tcp_socket.h"
#include "serial/system.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kWriteMsPerByte = 5;
// Keepalive: the first probe after 5 s of silence, then one a second; three unanswered end it.
constexpr int kKeepIdleS = 5;
constexpr int kKeepIntervalS = 1;
constexpr int kKeepCount = 3;
// Data sent and never acknowledged ends the connection after as long as keepalive would take.
constexpr unsigned kUnacknowledgedMs = (kKeepIdleS + kKeepIntervalS * kKeepCount) * 1000;

void SetOption(int fd, int level, int name, int value) { ::setsockopt(fd, level, name, &value, sizeof value); }

void TuneForTheLine(int fd)
{
    SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepIdleS);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepIntervalS);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepCount);
    SetOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(kUnacknowledgedMs));
}

class PosixTcpConnection final : public TcpConnection {
public:
    explicit PosixTcpConnection(int fd) : fd(fd) {}
    ~PosixTcpConnection() override { ::close(fd); }

    int Receive(uint8_t* destination, int n, int waitMs, int& error) override
    {
        pollfd waiting {fd, POLLIN, 0};
        if (::poll(&waiting, 1, waitMs) <= 0)
            return 0;
        const ssize_t got = ::recv(fd, destination, static_cast<size_t>(n), 0);
        if (got > 0)
            return static_cast<int>(got);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return 0;
        error = got == 0 ? ClosedByServerError() : errno;
        return -1;
    }

    bool Send(const uint8_t* source, int n, int& error) override
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteMsPerByte * n);
        for (int sent = 0; sent < n;) {
            const ssize_t done = ::send(fd, source + sent, static_cast<size_t>(n - sent), MSG_NOSIGNAL);
            if (done > 0) {
                sent += static_cast<int>(done);
                continue;
            }
            if (done < 0 && errno != EAGAIN && errno != EINTR) {
                error = errno;
                return false;
            }
            pollfd room {fd, POLLOUT, 0};
            if (MsUntil(deadline) == 0 || ::poll(&room, 1, MsUntil(deadline)) <= 0)
                break;  // cut short by the write limit, as a serial write may be
        }
        return true;
    }

private:
    int fd;
};

}  // namespace

HostLookup LookUpHostNow(const std::string& host)
{
    HostLookup lookup;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    lookup.error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    for (const addrinfo* at = lookup.error == 0 ? found : nullptr; at != nullptr; at = at->ai_next) {
        char numeric[NI_MAXHOST];
        if (::getnameinfo(at->ai_addr, at->ai_addrlen, numeric, sizeof numeric, nullptr, 0, NI_NUMERICHOST) == 0)
            lookup.addresses.push_back(numeric);
    }
    if (found)
        ::freeaddrinfo(found);
    return lookup;
}

TcpConnectResult ConnectTcp(const std::string& address, const std::string& port,
                            std::chrono::steady_clock::time_point deadline, const OpenPoll& poll)
{
    TcpConnectResult result;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;  // never a lookup here
    addrinfo* target = nullptr;
    if (const int failed = ::getaddrinfo(address.c_str(), port.c_str(), &hints, &target)) {
        result.error = failed;
        return result;
    }
    const int fd = ::socket(target->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        result.error = errno;
        ::freeaddrinfo(target);
        return result;
    }
    TuneForTheLine(fd);
    int error = ::connect(fd, target->ai_addr, target->ai_addrlen) == 0 ? 0 : errno;
    ::freeaddrinfo(target);
    if (error == EINPROGRESS) {
        pollfd done {fd, POLLOUT, 0};
        socklen_t size = sizeof error;
        const auto connected = [&](int ms) { return ::poll(&done, 1, ms) > 0; };
        const StepWait waited = WaitInSteps(deadline, connected, poll);
        if (waited != StepWait::kReady)
            error = waited == StepWait::kAbandoned ? CancelledError() : TimedOutError();
        else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
    }
    if (error != 0) {
        ::close(fd);
        result.error = error;
        return result;
    }
    result.connection = std::make_unique<PosixTcpConnection>(fd);
    return result;
}

PortState ConnectFailureState(int error)
{
    switch (error) {
    case ECONNREFUSED:
        return PortState::kRefused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ETIMEDOUT:
        return PortState::kUnreachable;
    default:
        return PortState::kOpenError;
    }
}

int ClosedByServerError() { return ECONNRESET; }

int TimedOutError() { return ETIMEDOUT; }

int CancelledError() { return ECANCELED; }
