// A serial port that the system lists or the user names: its name is what the user sees
// ("ttyUSB0", "pts/3", "COM3"), its path what the opener takes. Each system lists its own
// (ListCandidatePorts, serial/system.h).
#pragma once

#include "serial/port_address.h"

#include <string>
#include <vector>

// A serial port that the system lists, with the name shown to the user and, where the
// system knows it, the product name of its adapter.
struct PortCandidate {
    std::string path;
    std::string name;
    std::string description;
    PortKind kind = PortKind::kDevice;  // a port on a serial server only when the user named one

    // The address that the opener takes, as a search tries the port.
    PortAddress Address() const;
};

