// The serial ports that the system lists and their names: a port's name is what the user sees
// ("ttyUSB0", "pts/3", "COM3"), its device path what the system opens. One implementation
// file per system, beside the portable filter of usable ports.
#pragma once

#include "serial/port_address.h"
#include "vocab/port_words.h"

#include <string>
#include <vector>

// A serial port that the system lists, with the name shown to the user and, where the
// system knows it, the product name of its adapter.
struct PortCandidate {
    std::string path;
    std::string name;
    std::string description;
    PortKind kind = PortKind::kDevice;  // a port on a serial server only when the user named one
};

// The system's device path for a port name: "\\.\COM3" on Windows, "/dev/ttyUSB0" elsewhere,
// where an absolute path is taken as it stands.
std::string DevicePathForPortName(const std::string& name);
// The inverse: the port name of a device path; a path outside the device folder stays whole.
std::string PortNameForDevicePath(const std::string& path);
// A command-line argument naming a device to add to the port list: a device path ("\\.\COM10" on
// Windows, any absolute path elsewhere).
bool IsDevicePathArgument(const std::string& argument);
// How the help texts write this system's ports and device paths.
const PortSpelling& SystemPortSpelling();

// The ports to try, in the order to show them; extraPaths are the ports that the user named on
// the command line (IsPortWord).
std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths);
