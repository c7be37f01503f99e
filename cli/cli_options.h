// kestro-cli's command line: the command, the port and the extra device paths.
#pragma once

#include <string>
#include <vector>

struct CliOptions {
    enum class Command { None, Ports, Identify, Lx, Help, Version };
    Command command = Command::None;
    std::string port;                     // as EcfLink takes it: "ttyUSB0", "pts/3", "COM3"
    std::vector<std::string> extraPaths;  // device paths for `ports`
    bool trace = false;                   // --trace: the decoded traffic on standard error
    std::string traceFile;                // --trace-file: the same, appended to this file
};

// arguments excludes the program's path; +APPLOG is accepted anywhere and left to the log.
// False with a one-line reason when the command line can't be used.
bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error);

// The --help text, with the program's version in its first line.
std::string CliUsage();
