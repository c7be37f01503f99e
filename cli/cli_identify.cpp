// kestro-cli identify: opens the port and identifies the printer, as "Conectar" does; the
// commands that need an identified printer run after it.
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "session/identification.h"

namespace {

// The identification items that were read, as the window's header shows them: none when the
// port did not open.
void PrintIdentification(ConsoleDisplay& display)
{
    for (const LabelledItem& item : LabelledItems(display.Shown())) {
        if (item.read)
            display.Result(PrinterText(item.text));
    }
}

}  // namespace

int RunIdentified(const CliOptions& options, const char* command, const AfterIdentified& after)
{
    CliSession cli(options);
    if (!cli.Start())
        return kExitFailed;
    ConsoleDisplay& display = cli.Display();
    PrinterSession& session = cli.Session();
    SessionReport report;
    report.command = command;
    report.port = options.port.name;
    report.status = kExitFailed;
    const PrinterSession::ConnectResult connected = session.Connect(options.port);
    PrintIdentification(display);
    report.opened = connected != PrinterSession::kNotOpened;
    if (connected == PrinterSession::kConnected) {
        if (after)
            after(session, display, report);
        session.Disconnect();
        report.status = report.readingX.value_or(true) ? kExitDone : kExitFailed;
    }
    if (options.json) {
        report.read = &display.Shown();
        WriteSessionJson(report, session, display);
    }
    return report.status;
}

int RunIdentify(const CliOptions& options) { return RunIdentified(options, "identify", {}); }
