// The portable part of the port checks: candidates paired with their statuses.
#include "serial/port_status.h"

std::vector<PortReport> CheckPorts(const std::vector<PortCandidate>& candidates)
{
    std::vector<std::string> paths;
    for (const PortCandidate& candidate : candidates)
        paths.push_back(candidate.path);
    const std::vector<PortStatus> statuses = CheckPortPaths(paths);
    std::vector<PortReport> reports;
    for (size_t i = 0; i < candidates.size(); ++i)
        reports.push_back({candidates[i], statuses[i]});
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
