// The command line as both programs read it: the +APPLOG switch, the line the log opens with,
// and the device paths that the user adds to the port list.
#pragma once

#include <string>
#include <vector>

// "+APPLOG" in any letter case.
bool IsAppLogSwitch(const std::string& argument);

// An argument naming a device to add to the port list: a path below "/dev/".
bool IsDevicePathArgument(const std::string& argument);

// Switches the log on when any argument is +APPLOG, then logs the whole command line (the
// program's path included), each argument followed by a blank. Writes nothing while it is off.
void StartLogFromCommandLine(const std::vector<std::string>& arguments);
