// kestro-cli report: one file for support, with the summary, the system, the ports, the printer,
// a short line test and the report's own traffic; its path and code on standard output.
#include "base/new_file.h"
#include "base/version.h"
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/interrupt_flag.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "cli/trace_output.h"
#include "session/report_gathering.h"
#include "vocab/cp1252.h"
#include "vocab/error_reason.h"
#include "vocab/report_words.h"

#include <cerrno>

namespace {

// The session's display for a report: nothing on the console while it runs (the file says it
// all), no pause after a block, and the report's bounds polled during every wait.
class ReportDisplay : public ConsoleDisplay {
public:
    ReportDisplay() : ConsoleDisplay(stderr, false, false) {}
    void ShowCmd(int /*code*/) override {}
    void ShowCmd(int /*code*/, bool /*cancelVisible*/) override {}
    void SetSt(const std::string& /*text*/) override {}
    void ProcessMessages() override
    {
        if (gathering != nullptr)
            gathering->Poll();
    }
    ReportGathering* gathering = nullptr;
};

// Where the file goes: the name asked for, or its own name in the current folder.
std::string ReportPath(const CliOptions& options, const SupportReport& report, const std::string& code)
{
    return options.output.empty() ? ReportFileName(report.when, code) : options.output;
}

}  // namespace

int RunReport(const CliOptions& options)
{
    TraceOutput trace;
    if (!trace.Open(options.trace, options.traceFile, options.port.name))
        return kExitFailed;
    ReportDisplay display;
    PrinterSession session(display);
    ReportWatch watch;
    watch.cancelled = [] { return Interrupted(); };
    ReportGathering gathering(session, watch);
    display.gathering = &gathering;
    ReportRequest request;
    request.program = "kestro-cli " + ProgramVersionText();
    request.port = options.port;
    request.extraPaths = options.extraPaths;
    request.withTraffic = !options.noTraffic;
    if (trace.Active())
        request.trace = trace.Observer();
    const SupportReport report = gathering.Gather(request);
    if (gathering.Cancelled())
        return kExitFailed;
    std::string code;
    const std::string text = ReportText(report, code);
    const std::string path = ReportPath(options, report, code);
    const int error = WriteNewFile(path, SystemTextForm(text));
    std::string notWritten;
    if (error != 0) {
        const std::string reason = error == EEXIST ? kNameTakenReason : Cp1252ToUtf8(ErrorReason(error));
        notWritten = FillIn(kReportNotSavedText, {{"path", path}, {"reason", reason}});
    }
    if (options.json)
        WriteReportJson(report, path, error == 0 ? code : std::string(), notWritten);
    if (error != 0) {
        WriteText(stderr, "kestro-cli: " + TerminalSafe(notWritten) + "\n");
        return kExitFailed;
    }
    if (!options.json)
        WriteText(stdout, TerminalSafe(FillIn(kReportSavedText, {{"name", path}, {"code", code}})) + "\n");
    return kExitDone;
}
