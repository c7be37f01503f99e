// Which kind of port a path names: a device of this system, or a port on a serial server.
#include "serial/network_port.h"
#include "serial/serial_port.h"

PortOpenResult OpenSerialPort(const std::string& path, const std::string& modeText, int queueSize,
                              HolderCheck check)
{
    if (IsNetworkPortName(path))
        return OpenNetworkPort(path, modeText, LookUpHost);
    return OpenDevicePort(path, modeText, queueSize, check);
}
