// kestro-cli find: which ports a printer answers on, and who it is; every port tried or said
// why not.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/interrupt_flag.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "cli/trace_output.h"
#include "serial/port_survey.h"
#include "session/port_texts.h"
#include "session/printer_finder.h"
#include "vocab/command_words.h"
#include "vocab/error_text.h"
#include "vocab/search_words.h"

#include <algorithm>
#include <map>

namespace {

std::string PrinterLine(const PortProbe& probe)
{
    const Identification& read = probe.identification;
    return TerminalSafe(probe.port) + "\t" + PrinterText(kModelLabel + read.modelo) + "\t" +
           PrinterText(kSerialNumberLabel + read.nsMf) + "\t" +
           PrinterText(kBasicSoftwareLabel + FormatSb(read.sb));
}

// The last line: printers found, ports tried, ports left out by reason.
std::string Summary(size_t printers, size_t tried, const std::vector<PortReport>& skipped)
{
    std::string line =
        FillIn(kSearchSummaryText,
               {{"printers", printers == 0 ? kNoPrinterFoundText : Counted(printers, kPrintersFoundWords)},
                {"tried", Counted(tried, kPortsTriedWords)},
                {"skipped", Counted(skipped.size(), kPortsSkippedWords)}});
    std::map<PortState, size_t> reasons;
    for (const PortReport& report : skipped)
        ++reasons[report.status.state];
    std::string sep = ": ";
    for (const auto& [state, count] : reasons) {
        line += sep + std::to_string(count) + " " + PortStateLabel(state);
        sep = ", ";
    }
    return line + ".";
}

}  // namespace

int RunFind(const CliOptions& options)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile, "each line's own"))
        return kExitFailed;
    ConsoleDisplay display(stderr, false);
    const PortSurvey survey = SurveyPorts(options.extraPaths);
    std::vector<std::string> names;
    std::vector<PortReport> skipped;
    for (const PortReport& report : survey.ports) {
        if (PortSurvey::Offers(report)) {
            names.push_back(report.port.name);
            continue;
        }
        skipped.push_back(report);
        // A path given by hand is always said, tried or not.
        if (options.verbose || survey.Named(report))
            display.Note(LeftOutText(survey, report, report.port.name));
    }
    // The adapters that give no port to try, and the numbers that absent ones keep.
    for (const AdapterReport& adapter : survey.Troubled()) {
        if (options.verbose)
            display.Note(adapter.problem);
    }
    PrinterFinder finder;
    // Many links at once: each trace line names its port.
    if (trace.Active())
        finder.SetTrafficObservers([&trace](const std::string& port) { return trace.Observer(port); });
    finder.Start(names);
    size_t printers = 0;
    std::vector<PortProbe> tried;  // in the order they finished
    const auto show = [&] {
        for (const PortProbe& probe : finder.TakeFinished()) {
            if (probe.outcome == PortProbe::kPrinter) {
                ++printers;
                if (options.json)
                    WritePrinterJson(probe);
                else
                    display.Result(PrinterLine(probe));
                if (!probe.identified)
                    display.Message(probe.port, OneLine(probe.why));
            } else if (options.verbose) {
                display.Message(probe.port, OneLine(probe.why));
            }
            tried.push_back(probe);
        }
    };
    for (bool done = false; !done;) {
        done = finder.WaitDone(std::chrono::milliseconds(20));
        if (Interrupted())
            finder.Cancel();
        show();
    }
    const std::string summary = Summary(printers, names.size(), skipped);
    display.Message(summary);
    if (options.json)
        WriteFindSummaryJson(tried, skipped, summary);
    return printers > 0 ? kExitDone : kExitFailed;
}
