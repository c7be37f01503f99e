// A pseudo-terminal that this program makes for another one to open as its serial port, so that
// a relay can stand between that program and the printer with no port pair to install.
#pragma once

#include "serial/serial_port.h"

#include <memory>
#include <string>

struct PseudoTerminalResult {
    // This program's end, raw at 115200 8N1 from the first moment; empty when none was made. Its
    // FarEndAway says when the other program has the port closed, which is no loss of the line.
    std::unique_ptr<SerialPort> port;
    std::string path;         // the other program's end: "/dev/pts/5"
    int error = 0;            // the system's code when it was not made
    bool linkFailed = false;  // it was the link at linkPath that could not be made
};

// Whether this system has pseudo-terminals to offer (Linux does; Windows has none).
bool PseudoTerminalsAvailable();
// Makes one; with a linkPath, also a symbolic link there to its path, which goes away with the
// port. An existing file at linkPath is never replaced.
PseudoTerminalResult MakePseudoTerminal(const std::string& linkPath = {});
