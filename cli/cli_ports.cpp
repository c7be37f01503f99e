// kestro-cli ports: the ports that can be used, and with --all every candidate with its state.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "serial/port_status.h"
#include "session/port_texts.h"
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
    if (!report.port.description.empty())
        line += "\t" + TerminalSafe(report.port.description);
    return line;
}

}  // namespace

int RunPorts(const CliOptions& options)
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
