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
#include "session/adapter_texts.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "session/printer_finder.h"
#include "vocab/error_text.h"
#include "vocab/search_words.h"

#include <algorithm>
#include <map>

namespace {

// An identified printer's line: its port, then each item after its label.
std::string PrinterLine(const PortProbe& probe)
{
    std::string line = TerminalSafe(probe.port.name);
    for (const LabelledItem& item : LabelledItems(probe.identification))
        line += "\t" + PrinterText(item.text);
    return line;
}

// The last line: printers found, those that answered without identifying, ports tried, ports
// left out by reason.
std::string Summary(size_t printers, size_t unidentified, size_t tried, const std::vector<PortReport>& skipped)
{
    std::string found = printers == 0 ? kNoPrinterFoundText : Counted(printers, kPrintersFoundWords);
    if (unidentified > 0)
        found += FillIn(kUnidentifiedCountText, {{"unidentified", Counted(unidentified, kUnidentifiedWords)}});
    std::string line = FillIn(kSearchSummaryText, {{"printers", found},
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
    // A serial server's check is given up at its next step once Ctrl-C came.
    const PortSurvey survey = SurveyPorts(options.extraPaths, ListAdapters, {{}, Interrupted});
    std::vector<PortAddress> ports;
    std::vector<PortReport> skipped;
    for (const PortReport& report : survey.ports) {
        if (PortSurvey::Offers(report)) {
            ports.push_back(report.port.Address());
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
            display.Note(AdapterProblemText(adapter));
    }
    PrinterFinder finder;
    // Many links at once: each trace line names its port.
    if (trace.Active())
        finder.SetTrafficObservers([&trace](const std::string& port) { return trace.Observer(port); });
    size_t printers = 0;
    size_t unidentified = 0;
    SearchWatch watch;
    watch.tick = [&finder] {
        if (Interrupted())
            finder.Cancel();
    };
    // Only an identified printer is found; one that answered without identifying is said on
    // standard error, as a port without a printer is with --verbose.
    watch.finished = [&](const PortProbe& probe) {
        const bool answered = probe.outcome == PortProbe::kPrinter;
        printers += probe.identified ? 1 : 0;
        unidentified += answered && !probe.identified ? 1 : 0;
        if (answered && options.json)
            WritePrinterJson(probe);
        if (probe.identified && !options.json)
            display.Result(PrinterLine(probe));
        else if (answered || options.verbose)
            display.Message(probe.port.name, OneLine(probe.why));
    };
    const SearchResult result = finder.Search(ports, PrinterFinder::SearchEnd::kEveryPort, watch);
    const std::string summary = Summary(printers, unidentified, ports.size(), skipped);
    display.Message(summary);
    if (options.json)
        WriteFindSummaryJson(result.probes, skipped, summary);
    return printers > 0 ? kExitDone : kExitFailed;
}
