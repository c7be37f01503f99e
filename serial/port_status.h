// Whether each candidate port can be offered and, when not, why: the facts only, so that the
// window, kestro-cli and scripts each word them their own way.
#pragma once

#include "serial/port_list.h"
#include "serial/usb_adapters.h"

#include <functional>
#include <string>
#include <vector>

enum class PortState {
    kFree,          // opens now, and no other program holds it
    kNoPermission,  // the system refused this user
    kInUse,         // another program holds it
    kNotSerial,     // no serial terminal: another kind of device, a console, the user's own terminal
    kGone,          // nothing at that path (any more)
    kNoDevice,      // the system registers the port but says that no UART is behind it
    kOpenError,     // any other refusal of the open
    // A port on a serial server:
    kRefused,       // nothing listens at the server's port
    kUnreachable,   // no route to the server, or no answer from it in time
    kNameNotFound,  // the server's name names no machine
    kNotChecked,    // its check was given up (ServerCheckWatch::poll) before the server answered
};

struct PortStatus {
    PortState state = PortState::kFree;
    int error = 0;              // the system's code of the failed open; 0 when it opened or was not tried
    std::string group;          // kNoPermission: the device's group, where the system has one
    bool groupMayOpen = false;  // kNoPermission: the group's members may open it
    std::string holder;         // kInUse: the holding program's name; empty when it can't be seen
    long pid = 0;               // kInUse: its process id; 0 when it can't be seen
    std::string where;          // a port on a serial server: its host:port
};

struct PortReport {
    PortCandidate port;
    PortStatus status;
    AdapterReport adapter {};  // the USB adapter behind the port, where the system shows one (usb.known)
};

// How a caller follows the checks of the ports on serial servers, each of which may take seconds
// (the name looked up, the connection made); each member optional. A device's check is quick and
// calls neither.
struct ServerCheckWatch {
    // The server's host:port as its check starts, "" once it has ended.
    std::function<void(const std::string& where)> checking;
    // Called between the steps of the check's waits, as an open's poll (OpenPoll): true gives that
    // port up, and it is left out as kNotChecked.
    std::function<bool()> poll;
};

// Checks every candidate, in order; a port that opens is closed again at once.
std::vector<PortReport> CheckPorts(const std::vector<PortCandidate>& candidates,
                                   const ServerCheckWatch& watch = {});
// The free ones among the reports, in their order.
std::vector<PortCandidate> FreePorts(const std::vector<PortReport>& reports);
// A port that a user may look for and that is not offered: not free, and not a slot that the
// system registers with nothing behind it.
bool LeftOut(const PortStatus& status);

