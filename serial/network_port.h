// Ports on a serial server (serial/port_address.h): a raw port carries the line's bytes as they
// are, an RFC 2217 port carries them over telnet with the line's settings as its options. The same
// SerialPort as a device, so that nothing above knows the difference.
#pragma once

#include "serial/port_address.h"
#include "serial/serial_port.h"
#include "serial/tcp_socket.h"

#include <functional>
#include <string>

// Tests put their own in place of the system's, so that no name is ever looked up for real. The
// poll is the open's (OpenPoll).
using HostResolver = std::function<HostLookup(const std::string& host, const OpenPoll& poll)>;

// Connects to the server within kNetworkOpenBound, with Nagle's algorithm off and TCP keepalive
// on; an rfc2217 port also sets the line from the mode text, without flow control. The failure
// says refused, unreachable or name not found, with the server's host:port in `where`; an open
// that the poll abandoned fails as kOpenError with CancelledError.
PortOpenResult OpenNetworkPort(const PortAddress& address, const std::string& modeText,
                               const HostResolver& resolver, const OpenPoll& poll = {});

// The system's resolver, given up on at the open's bound or when the poll abandons it.
HostLookup LookUpHost(const std::string& host, const OpenPoll& poll = {});
