// The portable part of the port checks: candidates paired with their statuses.
#include "serial/port_status.h"

#include "serial/serial_port.h"
#include "serial/system.h"

std::vector<PortReport> CheckPorts(const std::vector<PortCandidate>& candidates)
{
    std::vector<std::string> devices;
    for (const PortCandidate& candidate : candidates) {
        if (candidate.kind == PortKind::kDevice)
            devices.push_back(candidate.path);
    }
    const std::vector<PortStatus> statuses = CheckPortPaths(devices);
    std::vector<PortReport> reports;
    size_t device = 0;
    for (const PortCandidate& candidate : candidates) {
        // A port on a serial server is free when it connects; the connection ends at once.
        reports.push_back(
            {candidate, candidate.kind == PortKind::kDevice
                            ? statuses[device++]
                            : OpenSerialPort(ReadPortName(candidate.path), {}, 0, HolderCheck::kCheap).failure});
    }
    return reports;
}

std::vector<PortCandidate> FreePorts(const std::vector<PortReport>& reports)
{
    std::vector<PortCandidate> free;
    for (const PortReport& report : reports) {
        if (report.status.state == PortState::kFree)
            free.push_back(report.port);
    }
    return free;
}

bool LeftOut(const PortStatus& status)
{
    return status.state != PortState::kFree && status.state != PortState::kNoDevice;
}
