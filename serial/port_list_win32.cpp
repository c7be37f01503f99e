// Windows list of candidate serial ports: COM1 to COM255 plus the paths named by the user; a
// port's name is its path below the device namespace \\.\.
#include "serial/port_list.h"

#include <cstdio>

namespace {

constexpr int kHighestPortNumber = 255;
const std::string kDevicePrefix = "\\\\.\\";

}  // namespace

std::string DevicePathForPortName(const std::string& name) { return kDevicePrefix + name; }

std::string PortNameForDevicePath(const std::string& path)
{
    return IsDevicePathArgument(path) ? path.substr(kDevicePrefix.size()) : path;
}

bool IsDevicePathArgument(const std::string& argument) { return argument.rfind(kDevicePrefix, 0) == 0; }

// Windows opens COM ports exclusively: a port that another program holds fails to open, and a
// name in the device namespace is no file that a scan could harm.
std::string NotASerialPortReason(const std::string& /*path*/) { return {}; }
bool PortInUseElsewhere(const std::string& /*path*/) { return false; }

std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths)
{
    std::vector<PortCandidate> candidates;
    for (int number = 1; number <= kHighestPortNumber; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", number);
        candidates.push_back({DevicePathForPortName(name), name, ""});
    }
    // Paths named on the command line follow the numbered ports, each once.
    for (const std::string& path : extraPaths) {
        bool listed = false;
        for (const PortCandidate& candidate : candidates)
            listed = listed || candidate.path == path;
        if (listed || path.empty())
            continue;
        candidates.push_back({path, PortNameForDevicePath(path), ""});
    }
    return candidates;
}
