// The opener for each kind of port: a device of this system, or a port on a serial server.
#include "serial/network_port.h"
#include "serial/serial_port.h"
#include "serial/system.h"

PortOpenResult OpenSerialPort(const PortAddress& port, const std::string& modeText, int queueSize,
                              HolderCheck check)
{
    return OpenPolledPort(port, modeText, queueSize, check, {});
}

PortOpenResult OpenPolledPort(const PortAddress& port, const std::string& modeText, int queueSize,
                              HolderCheck check, const OpenPoll& poll)
{
    if (port.OnServer())
        return OpenNetworkPort(port, modeText, LookUpHost, poll);
    return OpenDevicePort(port.path, modeText, queueSize, check);
}
