// Parsing and usage text of kestro-cli's command line.
#include "cli/cli_options.h"

#include "base/command_line.h"
#include "base/version.h"
#include "serial/port_list.h"

namespace {

using Command = CliOptions::Command;

Command CommandNamed(const std::string& word)
{
    if (word == "ports")
        return Command::Ports;
    if (word == "identify")
        return Command::Identify;
    if (word == "lx")
        return Command::Lx;
    return Command::None;
}

// "--name VALUE" or "--name=VALUE".
bool IsOption(const std::string& argument, const std::string& name)
{
    return argument == name || argument.rfind(name + "=", 0) == 0;
}

// The value of the option at i, moving i past it; empty when it is missing.
std::string OptionValue(const std::vector<std::string>& arguments, size_t& i)
{
    const std::string& argument = arguments[i];
    const size_t equals = argument.find('=');
    if (equals != std::string::npos)
        return argument.substr(equals + 1);
    return i + 1 < arguments.size() ? arguments[++i] : std::string();
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error)
{
    options = {};
    bool help = false;
    bool version = false;
    bool portGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (IsAppLogSwitch(argument))
            continue;
        if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (argument == "--version") {
            version = true;
        } else if (IsOption(argument, "--port")) {
            // "/dev/pts/3" names the same port as "pts/3", which is what the port list shows.
            options.port = PortNameForDevicePath(OptionValue(arguments, i));
            if (options.port.empty()) {
                error = "--port needs a port name";
                return false;
            }
            portGiven = true;
        } else if (argument == "--trace") {
            options.trace = true;
        } else if (IsOption(argument, "--trace-file")) {
            options.traceFile = OptionValue(arguments, i);
            if (options.traceFile.empty()) {
                error = "--trace-file needs a file name";
                return false;
            }
        } else if (CommandNamed(argument) != Command::None) {
            if (options.command != Command::None) {
                error = "only one command at a time: '" + argument + "'";
                return false;
            }
            options.command = CommandNamed(argument);
        } else if (IsDevicePathArgument(argument)) {
            options.extraPaths.push_back(argument);
        } else {
            error = "unknown argument '" + argument + "'";
            return false;
        }
    }
    if (help) {
        options.command = Command::Help;
        return true;
    }
    if (version) {
        options.command = Command::Version;
        return true;
    }
    switch (options.command) {
    case Command::None:
        error = "no command given";
        return false;
    case Command::Ports:
        if (portGiven) {
            error = "ports takes no --port";
            return false;
        }
        if (options.trace || !options.traceFile.empty()) {
            error = "ports has no traffic to trace";
            return false;
        }
        return true;
    default:
        if (!portGiven) {
            error = "this command needs --port NAME";
            return false;
        }
        if (!options.extraPaths.empty()) {
            error = "device paths are for ports; give the port with --port";
            return false;
        }
        return true;
    }
}

std::string CliUsage()
{
    return "kestro-cli " + ProgramVersionText() +
           ": talks to a fiscal printer on a serial port from a terminal.\n"
           "\n"
           "Usage:\n"
           "  kestro-cli ports [/dev/DEVICE...]\n"
           "  kestro-cli --port NAME identify\n"
           "  kestro-cli --port NAME lx\n"
           "  kestro-cli --help | --version\n"
           "\n"
           "Commands:\n"
           "  ports     Lists the serial ports that can be opened now, one name per line, followed\n"
           "            by a tab and the adapter's product name when the system knows it. Ports held\n"
           "            by another program are left out. Device paths given after it (/dev/pts/3)\n"
           "            are tried as well.\n"
           "  identify  Connects as the window's \"Conectar\" does and prints the printer's model\n"
           "            (Modelo), the serial number of its fiscal memory (NS MF) and its basic\n"
           "            software version (SB, as NN.NN.NN).\n"
           "  lx        Connects and identifies as identify does, then runs the X reading\n"
           "            (Leitura X).\n"
           "\n"
           "Options:\n"
           "  --port NAME  The port as ports lists it: ttyUSB0, ttyS0, pts/3 (COM3 on Windows).\n"
           "               A path /dev/NAME is taken as NAME.\n"
           "  --trace      With identify and lx: writes every message exchanged with the printer to\n"
           "               standard error as it happens, decoded, one per line: milliseconds since\n"
           "               the port opened, an arrow for the direction, the meaning, the bytes in hex.\n"
           "  --trace-file FILE\n"
           "               The same lines, appended to FILE (created if needed).\n"
           "  +APPLOG      In any letter case and anywhere: appends a diagnostic log of every step\n"
           "               to AppLog.log in the current folder, starting with the command line.\n"
           "  -h, --help   Shows this text.\n"
           "  --version    Shows the program's version.\n"
           "\n"
           "Results go to standard output. The texts that the window's status line would show\n"
           "(the printer's error texts, \"Erro ao ler ECF\", \"Erro!\") go to standard error, in\n"
           "Portuguese and UTF-8.\n"
           "\n"
           "Exit status: 0 done; 1 the port did not open, the printer was not identified or the\n"
           "command failed; 2 the command line was not understood.\n";
}
