// kestro-cli's command line: the command, the port and the extra device paths.
#pragma once

#include "serial/port_address.h"

#include <cstdint>
#include <string>
#include <vector>

// The command of `send`, as checked before anything is sent.
struct SendRequest {
    uint8_t command = 0;
    uint8_t extension = 0;
    std::vector<int32_t> params;
};

// Stands in a reason for this system's form of a device path (SystemPortSpelling), to be put in
// once the reason is made safe for a terminal, which would double its backslashes. It follows the
// caller's words that the reason quotes, so the last one is it.
constexpr char kDevicePathMark[] = "{path}";

struct CliCommand;

struct CliOptions {
    const CliCommand* command = nullptr;  // a row of CliCommands(); none with --help or --version
    bool help = false;
    bool version = false;
    PortAddress port;                     // read once, as given: "ttyUSB0", "pts/3", "COM3", a server's
    std::vector<std::string> extraPaths;  // device paths for `ports` and `find`
    bool verbose = false;                 // find: also the ports without a printer
    bool all = false;                     // ports: every candidate with its state
    bool raw = false;                     // send: the response's bytes in hex
    bool json = false;                    // results as JSON objects (docs/json.md)
    SendRequest send;
    long count = 10;  // ping: the exchanges, 1 to 100,000
    bool countGiven = false;
    bool trace = false;     // --trace: the decoded traffic on standard error
    std::string traceFile;  // --trace-file: the same, appended to this file
    std::string output;     // report: the file to write; empty for a name of its own here
    bool outputGiven = false;
    bool noTraffic = false;  // report: without the traffic
    PortAddress relay;       // monitor: the other program's port
    std::string link;        // monitor: a symbolic link here to the pseudo-terminal made for it
    bool relayGiven = false;
    bool linkGiven = false;
};

// arguments excludes the program's path; +APPLOG is accepted anywhere and left to the log.
// False with a one-line reason when the command line can't be used. The reason may hold
// kDevicePathMark.
bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error);
// CMD EXT [PARAM...] of `send`: bytes 0 to 255 and 32-bit integers, in decimal, that fit one
// command frame. False with a one-line reason otherwise.
bool ParseSendRequest(const std::vector<std::string>& words, SendRequest& request, std::string& error);

// The --help text, with the program's version in its first line.
std::string CliUsage();
