// Windows port checks: a port is free when it opens exclusively; otherwise the open's error says
// why. Windows shows no port's holder to another program.
#include "serial/port_list.h"
#include "serial/system.h"
#include "serial/port_status.h"
#include "serial/serial_port.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

PortStatus ExplainOpenFailure(const std::string& /*path*/, int error)
{
    PortStatus status;
    status.error = error;
    switch (error) {
    case ERROR_ACCESS_DENIED:  // a known port that another program opened exclusively
    case ERROR_SHARING_VIOLATION:
        status.state = PortState::kInUse;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        status.state = PortState::kGone;
        break;
    default:
        status.state = PortState::kOpenError;
        break;
    }
    return status;
}

// Windows opens COM ports exclusively, and a name in the device namespace is no file that a scan
// could harm.
std::string NotASerialPortReason(const std::string& /*path*/) { return {}; }

bool FindHoldingProgram(const std::string& /*path*/, PortStatus& /*status*/) { return false; }

bool FindLockingProgram(const std::string& /*path*/, PortStatus& /*status*/) { return false; }

std::vector<PortStatus> CheckPortPaths(const std::vector<std::string>& paths)
{
    std::vector<PortStatus> statuses;
    for (const std::string& path : paths) {
        int error = 0;
        statuses.push_back(ProbeSerialPort(path, &error) ? PortStatus() : ExplainOpenFailure(path, error));
    }
    return statuses;
}
