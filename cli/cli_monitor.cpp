// kestro-cli monitor: another program's conversation with the printer, relayed and decoded line
// by line as it passes, then its summary.
#include "cli/cli_commands.h"
#include "cli/console.h"
#include "cli/interrupt_flag.h"
#include "cli/terminal_text.h"
#include "cli/trace_output.h"
#include "link/traffic_format.h"
#include "session/port_monitor.h"
#include "vocab/filling.h"
#include "vocab/monitor_words.h"

namespace {

void Say(const std::string& cp1252) { WriteText(stderr, ConsoleText(cp1252) + "\n"); }

void SaySummary(const ConversationSummary& summary)
{
    const std::string longest = summary.longestAnswerMs < 0
                                    ? std::string(kNoAnswerSeen)
                                    : FillIn(kLongestMs, {{"ms", GroupedDigits(summary.longestAnswerMs)}});
    Say(FillIn(kSummaryText, {{"commands", std::to_string(summary.commands)},
                              {"refused", std::to_string(summary.refusedCount)},
                              {"unanswered", std::to_string(summary.unanswered)},
                              {"longest", longest}}));
    for (const ConversationSummary::Refusal& refusal : summary.refused) {
        const std::string error = ErrorPairText(refusal.errorClass, refusal.errorDetail);
        Say(FillIn(kRefusalLine, {{"command", std::to_string(refusal.command)}, {"error", error}}));
    }
}

}  // namespace

int RunMonitor(const CliOptions& options)
{
    // Standard output holds the trace lines alone, so that it saves as a trace; the rest goes to
    // standard error.
    TraceOutput file;
    if (!options.traceFile.empty() && !file.Open(false, options.traceFile, options.port.name))
        return kExitFailed;
    PortMonitor monitor([&file](const std::vector<TrafficMessage>& messages) {
        for (const TrafficMessage& message : messages)
            WriteText(stdout, TrafficLine(message) + "\n");
        std::fflush(stdout);
        file.Write(messages);
    });
    if (!monitor.Start({options.port, options.relay, options.link})) {
        Say(monitor.FailureText());
        return kExitFailed;
    }
    if (options.relay.name.empty()) {
        // The link's path is the caller's, UTF-8.
        WriteText(stderr, FillInUtf8(options.link.empty() ? kOtherPortText : kOtherPortLinkText,
                                     {{"path", monitor.OtherPort()}, {"link", options.link}}) +
                              "\n");
    }
    Say(kStopHintText);
    while (!Interrupted() && !monitor.WaitEnded(std::chrono::milliseconds(50))) {}
    const std::string ended = monitor.EndText();
    monitor.Stop();
    if (!ended.empty())
        Say(ended);
    SaySummary(monitor.Summary());
    return ended.empty() ? kExitDone : kExitFailed;
}
