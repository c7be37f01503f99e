// kestro-cli ports: the ports that can be used, and with --all every candidate with its state.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "serial/port_survey.h"
#include "session/port_texts.h"
#include "vocab/adapter_words.h"
#include "vocab/filling.h"
#include "vocab/search_words.h"

#include <algorithm>
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
    const std::string adapter = PortAdapterText(report);
    if (!adapter.empty())
        line += "\t" + TerminalSafe(adapter);
    return line;
}

// An adapter's line: the port that it gives, when it gives one, then what is wrong. A kept number's
// text starts with it already.
std::string AdapterLine(const AdapterReport& adapter)
{
    const bool portFirst = adapter.present && !adapter.port.empty();
    return portFirst ? TerminalSafe(adapter.port) + "\t" + TerminalSafe(adapter.problem)
                     : TerminalSafe(adapter.problem);
}

}  // namespace

int RunPorts(const CliOptions& options)
{
    const PortSurvey survey = SurveyPorts(options.extraPaths);
    const std::vector<AdapterReport> troubled = survey.Troubled();
    for (const PortReport& report : survey.ports) {
        if ((PortSurvey::Offers(report) || options.all) && !options.json)
            WriteText(stdout, PortLine(report, options.all) + "\n");
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
