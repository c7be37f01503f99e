// kestro-cli find: which ports a printer answers on, and who it is.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "cli/trace_output.h"
#include "serial/port_list.h"
#include "session/printer_finder.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

namespace {

std::string PrinterLine(const PortProbe& probe)
{
    const Identification& read = probe.identification;
    const auto safe = [](const std::string& text) { return TerminalSafe(Cp1252ToUtf8(text)); };
    return TerminalSafe(probe.port) + "\tModelo: " + safe(read.modelo) + "\tNS MF: " + safe(read.nsMf) +
           "\tSB: " + safe(FormatSb(read.sb));
}

}  // namespace

int RunFind(const CliOptions& options)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile))
        return kExitFailed;
    ConsoleDisplay display(stderr, false);
    std::vector<std::string> names;
    for (const PortCandidate& port : ListUsablePorts(options.extraPaths))
        names.push_back(port.name);
    PrinterFinder finder;
    // Many links at once: each trace line names its port.
    if (trace.Active())
        finder.SetTrafficObservers([&trace](const std::string& port) { return trace.Observer(port); });
    finder.Start(names);
    while (!finder.WaitDone(std::chrono::milliseconds(50))) {
        if (Interrupted())
            finder.Cancel();
    }
    bool found = false;
    const std::vector<PortProbe> probes = finder.Results();
    for (const PortProbe& probe : probes) {
        if (probe.outcome == PortProbe::kPrinter) {
            found = true;
            if (options.json)
                WritePrinterJson(probe);
            else
                display.Result(PrinterLine(probe));
            if (!probe.identified)
                display.Message(probe.port + ": Erro ao ler ECF");
        } else if (options.verbose) {
            display.Message(probe.port + ": " + OneLine(Cp1252ToUtf8(probe.why)));
        }
    }
    if (options.json)
        WriteFindSummaryJson(probes);
    return found ? kExitDone : kExitFailed;
}
