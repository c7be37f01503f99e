// kestro-cli's command set, one table that the dispatcher, the option checks and the help read;
// the commands themselves are one file each, and each returns the program's exit status.
#pragma once

#include "cli/cli_options.h"
#include "cli/console_display.h"
#include "session/printer_session.h"

#include <functional>
#include <string>
#include <vector>

struct SessionReport;

// kestro-cli's exit statuses; a signal's is 128 + its number.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // the port did not open, no printer, the command failed
constexpr int kExitUsage = 2;   // the command line was not understood

// The option that only one command takes.
struct CommandOption {
    const char* name;         // "--count"
    const char* value;        // what it takes, as the help writes it ("N"), or "" for a switch
    bool CliOptions::*given;  // set when the command line holds it
    const char* help;         // its lines in the help, unindented
};

// What a command does with --port and with device paths.
enum class PortUse {
    kPaths,        // looks at ports: takes device paths, no --port
    kPort,         // talks to the printer on --port, which it needs
    kPortOrPaths,  // the printer on --port, or searched for on the ports and the device paths given
};

// One of kestro-cli's commands.
struct CliCommand {
    const char* name;  // the word on the command line
    PortUse portUse;
    bool exchanges;                             // exchanges messages with a printer: --trace shows them
    std::vector<const CommandOption*> options;  // the options only it takes
    const char* operands;         // the words after it, as the help writes them, or ""
    // Reads those words into the options; false with a one-line reason. Null: it takes none.
    bool (*readOperands)(const std::vector<std::string>& words, CliOptions& options, std::string& error);
    const char* help;  // its paragraph in the help, lines unindented
    int (*run)(const CliOptions& options);
};

// Every command, in the order the help lists them.
const std::vector<CliCommand>& CliCommands();

// ports: the usable ports, one a line (--all: every candidate with its state); the device paths
// given that cannot be used are said on standard error.
int RunPorts(const CliOptions& options);

// identify: opens the port and identifies the printer, as "Conectar" does; traced when the
// options ask for it.
int RunIdentify(const CliOptions& options);

// What runs on a printer that identify opened and identified, before the port is let go; it
// sets the report's outcome (lx: readingX).
using AfterIdentified = std::function<void(PrinterSession&, ConsoleDisplay&, SessionReport&)>;
// identify with a command after it, reported as `command`.
int RunIdentified(const CliOptions& options, const char* command, const AfterIdentified& after);

// lx: identify, then the X reading.
int RunLx(const CliOptions& options);

// find: every usable port (and the device paths given) tried at once; one line per printer;
// traced with every line naming its port.
int RunFind(const CliOptions& options);

// send: opens the port, runs the one command and prints its response's fields (--raw: its
// bytes in hex); traced as identify is.
int RunSend(const CliOptions& options);

// ping: opens the port and sends the model query options.count times, one line per exchange
// and a summary; 0 when every exchange got the first answer's text.
int RunPing(const CliOptions& options);

// report: the support report's file, written whole or not at all; its path and code on standard
// output. 0 when it was written, whatever it found.
int RunReport(const CliOptions& options);
// monitor: relays between the printer's port and another program's (--relay, or a pseudo-terminal
// made for it), writing each message that passes, decoded, on standard output; at the end (Ctrl-C,
// or a side lost: status 1) the conversation's summary on standard error.
int RunMonitor(const CliOptions& options);
