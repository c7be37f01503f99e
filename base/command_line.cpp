// Reading the command line shared by the window and kestro-cli.
#include "base/command_line.h"

#include "base/log.h"

#include <algorithm>
#include <cctype>

bool IsAppLogSwitch(const std::string& argument)
{
    static const std::string kSwitch = "+APPLOG";
    return argument.size() == kSwitch.size() &&
           std::equal(argument.begin(), argument.end(), kSwitch.begin(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

void StartLogFromCommandLine(const std::vector<std::string>& arguments)
{
    if (std::any_of(arguments.begin(), arguments.end(), IsAppLogSwitch))
        SetAppLogEnabled(true);
    std::string commandLine;
    for (const auto& argument : arguments)
        commandLine += argument + " ";
    AppLog(commandLine);
}
