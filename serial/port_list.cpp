// The portable part of the port list: keeping the ports that can be opened now.
#include "serial/port_list.h"

#include "serial/serial_port.h"

#include <algorithm>
#include <iterator>

std::vector<PortCandidate> UsablePorts(const std::vector<PortCandidate>& candidates)
{
    std::vector<PortCandidate> usable;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(usable),
                 [](const PortCandidate& candidate) {
                     return ProbeSerialPort(candidate.path) && !PortInUseElsewhere(candidate.path);
                 });
    return usable;
}

std::vector<PortCandidate> ListUsablePorts(const std::vector<std::string>& extraPaths)
{
    return UsablePorts(ListCandidatePorts(extraPaths));
}
