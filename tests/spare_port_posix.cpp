// Spare ports on Linux: each one a new pseudo-terminal.
#include "tests/spare_port.h"

#include "tests/pty_pair.h"

SparePort::SparePort()
{
    const auto pty = std::make_shared<PtyPair>();
    line = pty;
    path = pty->Path();
    name = path.substr(std::string("/dev/").size());
}
