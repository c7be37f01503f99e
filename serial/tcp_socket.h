// A network port's connection and what its socket calls give; the calls themselves, POSIX sockets
// or Winsock, are declared in serial/system.h.
#pragma once

#include "serial/port_status.h"
#include "serial/serial_port.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The whole open of a network port: name, connection and line settings.
constexpr std::chrono::milliseconds kNetworkOpenBound {5000};

// A host name turned into addresses, as numeric texts; error is the resolver's code when none came.
struct HostLookup {
    std::vector<std::string> addresses;
    int error = 0;
};

// The milliseconds left until the deadline, 0 once it has passed: what a system's wait takes.
inline int MsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// The longest of the system's waits within an open: the open's poll comes at least this often.
constexpr std::chrono::milliseconds kOpenStep {50};

// How an open's wait ended.
enum class StepWait { kReady, kTimedOut, kAbandoned };

// Waits by the deadline for `ready`, which waits at most the milliseconds given and says whether
// it came, in steps of kOpenStep with the poll after each one that came to nothing.
inline StepWait WaitInSteps(std::chrono::steady_clock::time_point deadline,
                            const std::function<bool(int ms)>& ready, const OpenPoll& poll)
{
    for (;;) {
        const int left = MsUntil(deadline);
        if (ready(std::min(left, static_cast<int>(kOpenStep.count()))))
            return StepWait::kReady;
        if (poll && poll())
            return StepWait::kAbandoned;
        if (left == 0 || MsUntil(deadline) == 0)
            return StepWait::kTimedOut;
    }
}

// A connected TCP socket; destroying it closes the connection.
class TcpConnection {
public:
    virtual ~TcpConnection() = default;
    // The count of bytes received within waitMs; 0 when none came; -1 when the connection is gone,
    // with the system's code in error (ClosedByServerError for an orderly close).
    virtual int Receive(uint8_t* destination, int n, int waitMs, int& error) = 0;
    // Sends the n bytes in one call, so that a short message leaves in one segment; waits at most
    // 5 ms per byte for room. False, with the system's code, when the connection is gone.
    virtual bool Send(const uint8_t* source, int n, int& error) = 0;
};

struct TcpConnectResult {
    std::unique_ptr<TcpConnection> connection;
    int error = 0;  // the system's code when there is no connection
};
