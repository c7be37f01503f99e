// kestro-cli ports: the ports that can be used, and with --all every candidate with its state.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/interrupt_flag.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "serial/port_survey.h"
#include "session/adapter_texts.h"
#include "session/port_texts.h"
#include "vocab/adapter_words.h"
#include "vocab/filling.h"
#include "vocab/search_words.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// --all's line, the same for a port and an adapter so that scripts can cut it: name, state, adapter
// ("" when the system names none), with tabs between.
std::string AllLine(const std::string& name, const std::string& state, const std::string& adapter)
{
    return TerminalSafe(name) + "\t" + state + "\t" + TerminalSafe(adapter);
}

// Without --all: the name, then the adapter when the system names one.
std::string PortLine(const PortReport& report)
{
    const std::string adapter = PortAdapterText(report);
    return TerminalSafe(report.port.name) + (adapter.empty() ? "" : "\t" + TerminalSafe(adapter));
}

// An adapter's line: the port that it gives or keeps ("-" for none), then what is wrong, without the
// port that a kept number's text starts with.
std::string AdapterLine(const AdapterReport& adapter)
{
    const std::string name = adapter.port.empty() ? "-" : adapter.port;
    const std::string problem = AdapterProblemText(adapter);
    const std::string lead = adapter.port + ": ";
    const bool led = !adapter.port.empty() && problem.rfind(lead, 0) == 0;
    return AllLine(name, TerminalSafe(led ? problem.substr(lead.size()) : problem), AdapterText(adapter));
}

}  // namespace

int RunPorts(const CliOptions& options)
{
    // A serial server's check is given up at its next step once Ctrl-C came.
    const PortSurvey survey = SurveyPorts(options.extraPaths, ListAdapters, {{}, Interrupted});
    const std::vector<AdapterReport> troubled = survey.Troubled();
    for (const PortReport& report : survey.ports) {
        if ((PortSurvey::Offers(report) || options.all) && !options.json)
            WriteText(stdout, (options.all ? AllLine(report.port.name, ConsoleText(PortStateText(report.status)),
                                                     PortAdapterText(report))
                                           : PortLine(report)) +
                                  "\n");
        // A path given by hand is never left out silently.
        if (!options.all && survey.NamedAndLeftOut(report))
            WriteText(stderr, "kestro-cli: " + TerminalSafe(LeftOutText(survey, report, report.port.path)) + "\n");
    }
    if (options.all && !options.json) {
        for (const AdapterReport& adapter : troubled)
            WriteText(stdout, AdapterLine(adapter) + "\n");
    }
    if (!options.all) {
        const size_t leftOut = survey.LeftOutCount();
        const size_t problems = static_cast<size_t>(std::count_if(
            troubled.begin(), troubled.end(), [](const AdapterReport& adapter) { return adapter.present; }));
        if (leftOut > 0)
            WriteText(stderr,
                      ConsoleText(FillIn(kPortsLeftOutText, {{"ports", Counted(leftOut, kPortsLeftOutWords)}})) +
                          "\n");
        if (problems > 0)
            WriteText(stderr, ConsoleText(FillIn(kProblemAdaptersText,
                                                 {{"adapters", Counted(problems, kProblemAdaptersWords)}})) +
                                  "\n");
    }
    if (options.json)
        WritePortsJson(survey, options.all);
    return kExitDone;
}
