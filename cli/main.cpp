// kestro-cli: the printer tool for terminals and scripts, on the same link and command cycle
// as the window.
#include "base/command_line.h"
#include "base/interrupt.h"
#include "base/log.h"
#include "base/version.h"
#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "cli/trace_output.h"
#include "serial/port_list.h"
#include "serial/serial_port.h"
#include "session/printer_session.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int ListPorts(const CliOptions& options)
{
    // A path given by hand that is no serial port is said so, not silently left out.
    std::vector<RejectedPath> rejected;
    for (const auto& path : options.extraPaths) {
        const std::string why = NotASerialPortReason(path);
        if (!why.empty()) {
            std::fprintf(stderr, "kestro-cli: %s: %s\n", TerminalSafe(path).c_str(), why.c_str());
            rejected.push_back({path, why});
        }
    }
    const std::vector<PortCandidate> ports = ListUsablePorts(options.extraPaths);
    if (options.json) {
        WritePortsJson(ports, rejected);
        return kExitDone;
    }
    for (const auto& port : ports) {
        std::string line = TerminalSafe(port.name);
        if (!port.description.empty())
            line += "\t" + TerminalSafe(port.description);
        std::printf("%s\n", line.c_str());
    }
    return kExitDone;
}

// The identification items that were read, as the window's header shows them.
void PrintIdentification(ConsoleDisplay& display)
{
    const Identification& shown = display.Shown();
    const struct {
        const char* label;
        const std::string& read;
        std::string text;
    } items[] = {
        {"Modelo: ", shown.modelo, shown.modelo},
        {"NS MF: ", shown.nsMf, shown.nsMf},
        {"SB: ", shown.sb, FormatSb(shown.sb)},
    };
    for (const auto& item : items) {
        if (!item.read.empty())
            display.Result(item.label + TerminalSafe(Cp1252ToUtf8(item.text)));
    }
}

// Connects as "Conectar" does: opens the link and identifies the printer.
PrinterSession::ConnectResult Connect(PrinterSession& session, const std::string& port, ConsoleDisplay& display)
{
    const PrinterSession::ConnectResult result = session.Connect(port);
    if (result == PrinterSession::kNotOpened) {
        display.Message(Cp1252ToUtf8(OpenFailureText(session.OpenError())));
        const std::string why = NotASerialPortReason(DevicePathForPortName(port));
        if (!why.empty())
            display.Message("kestro-cli: " + TerminalSafe(port) + ": " + why);
    } else {
        PrintIdentification(display);
    }
    return result;
}

// identify, and with readingX the X reading after it; traced when the options ask for it.
int RunOnPrinter(const CliOptions& options, bool readingX)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile))
        return kExitFailed;
    // Progress dots would break the trace's lines apart, and mean nothing to a script.
    ConsoleDisplay display(stderr, StderrIsTerminal() && !trace.ToStderr() && !options.json, !options.json);
    PrinterSession session(display);
    if (trace.Active())
        session.SetTrafficObserver(trace.Observer());
    SessionReport report;
    report.command = readingX ? "lx" : "identify";
    report.port = options.port;
    report.status = kExitFailed;
    const PrinterSession::ConnectResult connected = Connect(session, options.port, display);
    report.opened = connected != PrinterSession::kNotOpened;
    if (connected == PrinterSession::kConnected) {
        if (readingX) {
            report.readingX = session.ReadingX();
            if (*report.readingX)
                display.Result("Leitura X emitida.");
        }
        session.Disconnect();
        report.status = report.readingX.value_or(true) ? kExitDone : kExitFailed;
    }
    if (options.json) {
        report.openError = session.OpenError();
        report.pair = session.ShownPair();
        report.messages = display.Messages();
        report.read = &display.Shown();
        WriteSessionJson(report);
    }
    return report.status;
}

int RunCommand(const CliOptions& options)
{
    switch (options.command) {
    case CliOptions::Command::Help:
        std::fputs(CliUsage().c_str(), stdout);
        return kExitDone;
    case CliOptions::Command::Version:
        std::printf("kestro-cli %s\n", ProgramVersionText().c_str());
        return kExitDone;
    case CliOptions::Command::Ports:
        return ListPorts(options);
    case CliOptions::Command::Identify:
        return RunOnPrinter(options, false);
    case CliOptions::Command::Lx:
        return RunOnPrinter(options, true);
    case CliOptions::Command::Find:
        return RunFind(options);
    case CliOptions::Command::Send:
        return RunSend(options);
    case CliOptions::Command::None:
        break;
    }
    return kExitUsage;
}

// Output that could not be written (a full disk, a closed pipe) is a failure, not a success.
bool OutputWritten()
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    std::fprintf(stderr, "kestro-cli: the output could not be written: %s\n", std::strerror(errno));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // Before any thread: a signal then cancels the command, which ends and frees its port.
    const InterruptWatch interrupts(RequestInterrupt, ReleaseAllPorts);
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
    const int status = RunCommand(options);
    if (interrupts.Signal() != 0)
        return 128 + interrupts.Signal();
    return OutputWritten() ? status : kExitFailed;
}
