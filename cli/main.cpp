// kestro-cli: the printer tool for terminals and scripts, on the same link and command cycle
// as the window.
#include "base/command_line.h"
#include "base/error_reason.h"
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
#include "serial/port_status.h"
#include "serial/serial_port.h"
#include "session/port_texts.h"
#include "session/printer_session.h"
#include "vocab/command_words.h"
#include "vocab/search_words.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A port's line: its name, with all its state, then the adapter when the system names one.
std::string PortLine(const PortReport& report, bool withState)
{
    std::string line = TerminalSafe(report.port.name);
    if (withState)
        line += "\t" + ConsoleText(PortStateText(report.status));
    if (!report.port.description.empty())
        line += "\t" + TerminalSafe(report.port.description);
    return line;
}

int ListPorts(const CliOptions& options)
{
    const std::vector<std::string>& named = options.extraPaths;
    const std::vector<PortReport> reports = CheckCandidatePorts(named);
    size_t leftOut = 0;
    for (const PortReport& report : reports) {
        const bool free = report.status.state == PortState::kFree;
        if ((free || options.all) && !options.json)
            WriteText(stdout, PortLine(report, options.all) + "\n");
        leftOut += LeftOut(report.status) ? 1 : 0;
        // A path given by hand is never left out silently.
        if (!free && !options.all && std::count(named.begin(), named.end(), report.port.path) > 0)
            WriteText(stderr, "kestro-cli: " + TerminalSafe(report.port.path) + ": " +
                                  ConsoleText(PortStateText(report.status)) + "\n");
    }
    if (leftOut > 0 && !options.all) {
        WriteText(stderr,
                  ConsoleText(FillIn(kPortsLeftOutText, {{"ports", Counted(leftOut, kPortsLeftOutWords)}})) +
                      "\n");
    }
    if (options.json)
        WritePortsJson(reports, named, options.all);
    return kExitDone;
}

// The identification items that were read, as the window's header shows them: none when the
// port did not open.
void PrintIdentification(ConsoleDisplay& display)
{
    for (const LabelledItem& item : LabelledItems(display.Shown())) {
        if (item.read)
            display.Result(PrinterText(item.text));
    }
}

// identify, and with readingX the X reading after it; traced when the options ask for it.
int RunOnPrinter(const CliOptions& options, bool readingX)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile, options.port))
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
    // As "Conectar" does: opens the link and identifies the printer.
    const PrinterSession::ConnectResult connected = session.Connect(options.port);
    PrintIdentification(display);
    report.opened = connected != PrinterSession::kNotOpened;
    if (connected == PrinterSession::kConnected) {
        if (readingX) {
            report.readingX = session.ReadingX();
            if (*report.readingX)
                display.Result(kReadingXDoneText);
        }
        session.Disconnect();
        report.status = report.readingX.value_or(true) ? kExitDone : kExitFailed;
    }
    if (options.json) {
        report.read = &display.Shown();
        WriteSessionJson(report, session, display);
    }
    return report.status;
}

int RunCommand(const CliOptions& options)
{
    switch (options.command) {
    case CliOptions::Command::Help:
        WriteText(stdout, CliUsage());
        return kExitDone;
    case CliOptions::Command::Version:
        WriteText(stdout, "kestro-cli " + ProgramVersionText() + "\n");
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
    case CliOptions::Command::Ping:
        return RunPing(options);
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
    const std::string why = FillInUtf8(kOutputNotWrittenText, {{"reason", ErrorReason(errno)}});
    WriteText(stderr, "kestro-cli: " + why + "\n");
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
        // One line: the help's seventy would scroll it away. The word quoted in it is the caller's,
        // and may hold a line break or a terminal's control sequence.
        WriteText(stderr, "kestro-cli: " + TerminalSafe(error) + ". Veja kestro-cli --help.\n");
        return kExitUsage;
    }
    const int status = RunCommand(options);
    if (interrupts.Signal() != 0)
        return SignalExitStatus(interrupts.Signal());
    return OutputWritten() ? status : kExitFailed;
}
