// Spare ports on Linux: each one a new pseudo-terminal.
#include "tests/support/spare_port.h"

#include "serial/port_list.h"
#include "serial/system.h"
#include "tests/support/pty_pair.h"

SparePort::SparePort()
{
    const auto pty = std::make_shared<PtyPair>();
    line = pty;
    path = pty->Path();
    name = PortNameForDevicePath(path);
}
