// What support asks about the computer: the system and its version, the program's and the system's
// word size, the user's and the computer's names (which a report replaces), and on Linux the group
// that may open a device. One implementation per system.
#pragma once

#include <string>

struct SystemFacts {
    std::string system;  // "Debian GNU/Linux 12 (bookworm); Linux 6.1.0-18-amd64", "Windows 10 Pro 22H2, build 19045"
    int programBits = 0;  // the running program's
    int systemBits = 0;   // the system's; 0 when it can't be told
    std::string userName;
    std::string computerName;
    std::string homeFolder;  // the user's own folder, which names the user
};

SystemFacts ReadSystemFacts();

// The group that owns a device, and whether this user is in it (Linux); known is false where the
// system has no such group (Windows) or the device can't be looked at.
struct DeviceGroup {
    bool known = false;
    std::string group;
    bool member = false;
};
DeviceGroup DeviceGroupOf(const std::string& path);
