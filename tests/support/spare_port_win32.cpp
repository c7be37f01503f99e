// Spare ports on Windows: the COM ports that the test script maps, in turn.
#include "tests/support/spare_port.h"

#include "serial/port_list.h"
#include "serial/serial_port.h"
#include "serial/system.h"
#include "tests/support/win_ports.h"

#include <sstream>
#include <stdexcept>
#include <vector>

SparePort::SparePort()
{
    std::vector<std::string> names;
    std::istringstream list(WinTestPort("KESTRO_WIN_SPARE_PORTS"));
    for (std::string item; std::getline(list, item, ',');)
        names.push_back(item);
    if (names.empty())
        throw std::runtime_error("KESTRO_WIN_SPARE_PORTS names no port");
    static size_t next = 0;
    name = names[next++ % names.size()];
    path = DevicePathForPortName(name);
}
