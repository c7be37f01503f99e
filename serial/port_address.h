// A port's address, read once where its name enters (kestro-cli's words, the window's box and
// command line, the scan) and carried down to the opener: a device of this system, or a port on a
// serial server named as a URL, "socket://HOST:PORT" (the line's bytes as they are) or
// "rfc2217://HOST:PORT" (over telnet, with the line's settings as its options). Only this file
// reads the schemes.
#pragma once

#include <string>

enum class PortKind { kDevice, kRawServer, kRfc2217Server };

struct PortAddress {
    PortKind kind = PortKind::kDevice;
    std::string name;  // as the user gives and sees it: "ttyUSB0", "COM3", "socket://loja12:3001"
    std::string path;  // what the opener takes: a device's path, a server port's name
    std::string host;  // a server port's, without an IPv6 literal's brackets; "" when its name does not read
    std::string port;  // a server port's number, 1 to 65535

    bool OnServer() const { return kind != PortKind::kDevice; }
    // "loja12:3001", as the texts name a server port; "" for a device and a name that does not read.
    std::string Where() const;
};

// A port's name read: a server port's URL into its host and port number (a URL that does not read
// keeps no host), any other name a device at DevicePathForPortName.
PortAddress ReadPortName(const std::string& name);
// A device path as the system gives it, read as nothing else.
PortAddress DeviceAddress(const std::string& path);
// Whether a word of a command line names a port to try besides the listed ones: a device path
// (IsDevicePathArgument) or a server port's URL, read or not. Both programs ask this.
bool IsPortWord(const std::string& word);
