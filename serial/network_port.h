// Ports on a serial server, named as URLs: "socket://HOST:PORT" carries the line's bytes as they
// are, "rfc2217://HOST:PORT" carries them over telnet with the line's settings as its options.
// The same SerialPort as a device, so that nothing above knows the difference.
#pragma once

#include "serial/serial_port.h"
#include "serial/tcp_socket.h"

#include <functional>
#include <optional>
#include <string>

struct NetworkAddress {
    bool rfc2217 = false;
    std::string host;  // without the brackets of an IPv6 literal
    std::string port;
};

// True for a name that starts with one of the two schemes, whether or not the rest reads.
bool IsNetworkPortName(const std::string& name);
// The scheme, the host and a port number of 1 to 65535; nothing else reads.
std::optional<NetworkAddress> ParseNetworkPortName(const std::string& name);
// "loja12:3001", as the texts name the server; "" for a name that is no network port.
std::string NetworkPortWhere(const std::string& name);
std::string NetworkPortWhere(const NetworkAddress& address);

// Tests put their own in place of the system's, so that no name is ever looked up for real.
using HostResolver = std::function<HostLookup(const std::string& host)>;

// Connects to the server within kNetworkOpenBound, with Nagle's algorithm off and TCP keepalive
// on; an rfc2217 port also sets the line from the mode text, without flow control. The failure
// says refused, unreachable or name not found, with the server's host:port in `where`.
PortOpenResult OpenNetworkPort(const std::string& name, const std::string& modeText, const HostResolver& resolver);

// The system's resolver, given up on at the open's bound.
HostLookup LookUpHost(const std::string& host);
// Whether a port's loss (SerialPort::LostError) was the server turning this client away.
bool IsTurnedAway(int lostError);
// Whether it was a raw port's server speaking telnet, which an rfc2217:// port understands.
bool SpeaksTelnet(int lostError);
