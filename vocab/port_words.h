// The words for a serial port's state, for the window, kestro-cli and the search of the ports. A
// {name} in a text stands for a fact that FillIn (vocab/filling.h) puts in.
#pragma once

#include "vocab/filling.h"
#include "vocab/text.h"

struct PortStateWords {
    const char* listed;       // after the port's name in a list
    const char* label;        // two or three words, for counts
    const char* openFailure;  // after the open failure's text and code; "" when the code says it all
};

// One row per state, in the order of PortState (serial/port_status.h): free, no permission, in
// use, not serial, gone, no device, open error; for a port on a serial server refused,
// unreachable, name not found, not checked. {holder}, {advice}, {code} and {where} are filled in.
constexpr int kPortStateCount = 11;
extern const PortStateWords kPortStateWords[kPortStateCount];

// Who holds a port: {holder} above.
constexpr const char* kUnknownHolder = "outro programa"_cp1252;
constexpr const char* kHolderWithPid = "{name} (pid {pid})"_cp1252;

// What to do about a refusal: {advice} above.
struct PermissionWords {
    const char* noGroup;      // the device has no group to join
    const char* joinGroup;    // its group may open it: {group}
    const char* groupMayNot;  // not even its group may
};
extern const PermissionWords kPermissionWords;

// The status text of a port that did not open, before the state's sentence.
constexpr const char* kOpenFailureCode = "{text} ({code})"_cp1252;

// How the help and the usage errors write a port of the system they run on: the form of any
// device path, one device path as an example, and what --port takes, wrapped as the help's
// column wants it. One row per system; serial/ gives its own (SystemPortSpelling).
struct PortSpelling {
    const char* anyPath;      // "/dev/DISPOSITIVO"
    const char* examplePath;  // "/dev/pts/3"
    const char* portOption;   // the --port option's lines
};
extern const PortSpelling kPosixPortSpelling;
extern const PortSpelling kWindowsPortSpelling;
