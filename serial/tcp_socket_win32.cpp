// Winsock for a network port: a non-blocking TCP connection with Nagle's algorithm off and
// keepalive on, so that a server's machine gone without a word is found in seconds.
#include "serial/tcp_socket.h"
#include "serial/system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
// After winsock2.h, which they need.
#include <mstcpip.h>
#include <ws2tcpip.h>

namespace {

constexpr int kWriteMsPerByte = 5;
// Keepalive: the first probe after 5 s of silence, then one a second (Windows sends ten).
constexpr ULONG kKeepIdleMs = 5000;
constexpr ULONG kKeepIntervalMs = 1000;

// Winsock is started once, for the life of the process.
bool WinsockStarted()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

timeval Timeval(int ms) { return {ms / 1000, (ms % 1000) * 1000}; }

// Waits at most ms for the socket to be readable (or writable); true when it is.
bool Ready(SOCKET socket, bool write, int ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    fd_set failed = set;  // a connect that failed shows here
    timeval wait = Timeval(ms);
    return select(0, write ? nullptr : &set, write ? &set : nullptr, &failed, &wait) > 0;
}

void TuneForTheLine(SOCKET socket)
{
    const BOOL on = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
    tcp_keepalive keepalive {1, kKeepIdleMs, kKeepIntervalMs};
    DWORD returned = 0;
    WSAIoctl(socket, SIO_KEEPALIVE_VALS, &keepalive, sizeof keepalive, nullptr, 0, &returned, nullptr, nullptr);
}

class Win32TcpConnection final : public TcpConnection {
public:
    explicit Win32TcpConnection(SOCKET socket) : socket(socket) {}
    ~Win32TcpConnection() override { closesocket(socket); }

    int Receive(uint8_t* destination, int n, int waitMs, int& error) override
    {
        if (!Ready(socket, false, waitMs))
            return 0;
        const int got = recv(socket, reinterpret_cast<char*>(destination), n, 0);
        if (got > 0)
            return got;
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            return 0;
        error = got == 0 ? ClosedByServerError() : WSAGetLastError();
        return -1;
    }

    bool Send(const uint8_t* source, int n, int& error) override
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteMsPerByte * n);
        for (int sent = 0; sent < n;) {
            const int done = send(socket, reinterpret_cast<const char*>(source) + sent, n - sent, 0);
            if (done > 0) {
                sent += done;
                continue;
            }
            if (WSAGetLastError() != WSAEWOULDBLOCK) {
                error = WSAGetLastError();
                return false;
            }
            if (MsUntil(deadline) == 0 || !Ready(socket, true, MsUntil(deadline)))
                break;  // cut short by the write limit, as a serial write may be
        }
        return true;
    }

private:
    SOCKET socket;
};

}  // namespace

HostLookup LookUpHostNow(const std::string& host)
{
    HostLookup lookup;
    if (!WinsockStarted()) {
        lookup.error = WSANOTINITIALISED;
        return lookup;
    }
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    lookup.error = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    for (const addrinfo* at = lookup.error == 0 ? found : nullptr; at != nullptr; at = at->ai_next) {
        char numeric[NI_MAXHOST];
        if (getnameinfo(at->ai_addr, static_cast<socklen_t>(at->ai_addrlen), numeric, sizeof numeric, nullptr, 0,
                        NI_NUMERICHOST) == 0)
            lookup.addresses.push_back(numeric);
    }
    if (found)
        freeaddrinfo(found);
    return lookup;
}

TcpConnectResult ConnectTcp(const std::string& address, const std::string& port,
                            std::chrono::steady_clock::time_point deadline, const OpenPoll& poll)
{
    TcpConnectResult result;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;  // never a lookup here
    addrinfo* target = nullptr;
    if (!WinsockStarted() || getaddrinfo(address.c_str(), port.c_str(), &hints, &target) != 0) {
        result.error = WSAGetLastError();
        return result;
    }
    const SOCKET socket = ::socket(target->ai_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) {
        result.error = WSAGetLastError();
        freeaddrinfo(target);
        return result;
    }
    u_long nonBlocking = 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
    TuneForTheLine(socket);
    int error =
        connect(socket, target->ai_addr, static_cast<int>(target->ai_addrlen)) == 0 ? 0 : WSAGetLastError();
    freeaddrinfo(target);
    if (error == WSAEWOULDBLOCK) {
        int size = sizeof error;
        const auto connected = [&](int ms) { return Ready(socket, true, ms); };
        const StepWait waited = WaitInSteps(deadline, connected, poll);
        if (waited != StepWait::kReady)
            error = waited == StepWait::kAbandoned ? CancelledError() : TimedOutError();
        else if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
            error = WSAGetLastError();
    }
    if (error != 0) {
        closesocket(socket);
        result.error = error;
        return result;
    }
    result.connection = std::make_unique<Win32TcpConnection>(socket);
    return result;
}

PortState ConnectFailureState(int error)
{
    switch (error) {
    case WSAECONNREFUSED:
        return PortState::kRefused;
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN:
    case WSAETIMEDOUT:
        return PortState::kUnreachable;
    default:
        return PortState::kOpenError;
    }
}

int ClosedByServerError() { return WSAECONNRESET; }

int TimedOutError() { return WSAETIMEDOUT; }

int CancelledError() { return WSAECANCELLED; }
