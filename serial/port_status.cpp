// The portable part of the port checks: candidates paired with their statuses.
#include "serial/port_status.h"

#include "serial/serial_port.h"
#include "serial/system.h"

namespace {

// A port on a serial server is free when it connects; the connection ends at once.
PortStatus CheckServerPort(const PortCandidate& candidate, const ServerCheckWatch& watch)
{
    const PortAddress address = ReadPortName(candidate.path);
    const bool followed = watch.checking && !address.Where().empty();
    if (followed)
        watch.checking(address.Where());
    PortStatus status = OpenPolledPort(address, {}, 0, HolderCheck::kCheap, watch.poll).failure;
    if (followed)
        watch.checking({});
    // Given up before the server answered: nothing is known against the port.
    if (status.error == CancelledError())
        status.state = PortState::kNotChecked;
    return status;
}

}  // namespace

std::vector<PortReport> CheckPorts(const std::vector<PortCandidate>& candidates, const ServerCheckWatch& watch)
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
        reports.push_back({candidate, candidate.kind == PortKind::kDevice ? statuses[device++]
                                                                          : CheckServerPort(candidate, watch)});
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
