// The command line as both programs read it: the +APPLOG switch and the line the log opens with.
#pragma once

#include <string>
#include <vector>

// "+APPLOG" in any letter case.
bool IsAppLogSwitch(const std::string& argument);

// Switches the log on when any argument is +APPLOG, then logs the whole command line (the
// program's path included), each argument followed by a blank. Writes nothing while it is off.
void StartLogFromCommandLine(const std::vector<std::string>& arguments);
