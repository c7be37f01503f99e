// The opener for each kind of port: a device of this system, or a port on a serial server.
#include "serial/network_port.h"
#include "serial/serial_port.h"
#include "serial/system.h"

PortOpenResult OpenSerialPort(const PortAddress& port, const std::string& modeText, int queueSize,
                              HolderCheck check)
{
    if (port.OnServer())
        return OpenNetworkPort(port, modeText, LookUpHost);
    return OpenDevicePort(port.path, modeText, queueSize, check);
}
