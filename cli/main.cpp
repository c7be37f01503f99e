// kestro-cli: the printer tool for terminals and scripts, on the same link and command cycle
// as the window.
#include "base/command_line.h"
#include "base/log.h"
#include "base/version.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "serial/port_list.h"
#include "session/printer_session.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintLine(ConsoleDisplay& display, const std::string& utf8)
{
    display.EndProgressLine();
    std::printf("%s\n", utf8.c_str());
    std::fflush(stdout);
}

int ListPorts(const std::vector<std::string>& extraPaths)
{
    for (const auto& port : ListUsablePorts(extraPaths)) {
        if (port.description.empty())
            std::printf("%s\n", port.name.c_str());
        else
            std::printf("%s\t%s\n", port.name.c_str(), port.description.c_str());
    }
    return 0;
}

// What the window's header shows after an identification, read or not.
void PrintIdentification(ConsoleDisplay& display)
{
    const Identification& shown = display.Shown();
    PrintLine(display, "Modelo: " + Cp1252ToUtf8(shown.modelo));
    PrintLine(display, "NS MF: " + Cp1252ToUtf8(shown.nsMf));
    PrintLine(display, "SB: " + Cp1252ToUtf8(FormatSb(shown.sb)));
}

// Connects as "Conectar" does: opens the link and identifies the printer.
bool Connect(PrinterSession& session, const std::string& port, ConsoleDisplay& display)
{
    const PrinterSession::ConnectResult result = session.Connect(port);
    if (result == PrinterSession::kNotOpened) {
        // The window's status line stays empty here and its port picture tells; a console
        // has only this line to say why nothing happened.
        display.Message(Cp1252ToUtf8(OpenFailureText(session.OpenError())));
    } else {
        PrintIdentification(display);
    }
    return result == PrinterSession::kConnected;
}

// identify, and with readingX the X reading after it.
int RunOnPrinter(const std::string& port, bool readingX)
{
    ConsoleDisplay display(stderr, StderrIsTerminal());
    PrinterSession session(display);
    if (!Connect(session, port, display))
        return kExitFailed;
    const bool done = !readingX || session.ReadingX();
    if (done && readingX)
        PrintLine(display, "Leitura X emitida.");
    session.Disconnect();
    return done ? 0 : kExitFailed;
}

}  // namespace

int main(int argc, char** argv)
{
    PrepareConsole();
    const std::vector<std::string> arguments(argv, argv + argc);
    StartLogFromCommandLine(arguments);

    CliOptions options;
    std::string error;
    const std::vector<std::string> rest(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                        arguments.end());
    if (!ParseCliOptions(rest, options, error)) {
        std::fprintf(stderr, "kestro-cli: %s\n\n%s", error.c_str(), CliUsage().c_str());
        return kExitUsage;
    }
    switch (options.command) {
    case CliOptions::Command::Help:
        std::fputs(CliUsage().c_str(), stdout);
        return 0;
    case CliOptions::Command::Version:
        std::printf("kestro-cli %s\n", ProgramVersionText().c_str());
        return 0;
    case CliOptions::Command::Ports:
        return ListPorts(options.extraPaths);
    case CliOptions::Command::Identify:
        return RunOnPrinter(options.port, false);
    case CliOptions::Command::Lx:
        return RunOnPrinter(options.port, true);
    case CliOptions::Command::Find:
        return RunFind(options.extraPaths, options.verbose);
    case CliOptions::Command::Send:
        return RunSend(options.port, options.send, options.raw);
    case CliOptions::Command::None:
        break;
    }
    return kExitUsage;
}
