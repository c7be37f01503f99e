// kestro-cli: the printer tool for terminals and scripts, on the same link and command cycle
// as the window.
#include "base/command_line.h"
#include "base/log.h"
#include "base/version.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/trace_output.h"
#include "serial/port_list.h"
#include "session/printer_session.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
        display.Message(PortOpenErrorText(session.OpenError()));
    } else {
        PrintIdentification(display);
    }
    return result == PrinterSession::kConnected;
}

// identify, and with readingX the X reading after it; traced when the options ask for it.
int RunOnPrinter(const CliOptions& options, bool readingX)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile)) {
        std::fprintf(stderr, "kestro-cli: cannot open %s: %s\n", options.traceFile.c_str(), std::strerror(errno));
        return kExitFailed;
    }
    // Progress dots would break the trace's lines apart.
    ConsoleDisplay display(stderr, StderrIsTerminal() && !trace.ToStderr());
    PrinterSession session(display);
    if (trace.Active())
        session.SetTrafficObserver(trace.Observer());
    if (!Connect(session, options.port, display))
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
        return RunOnPrinter(options, false);
    case CliOptions::Command::Lx:
        return RunOnPrinter(options, true);
    case CliOptions::Command::None:
        break;
    }
    return kExitUsage;
}
