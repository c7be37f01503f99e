// kestro-cli ping, the line test: is the line sound? The model query, again and again, each exchange
// told as it ends, then the counts and the times.
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "session/line_check.h"

namespace {

// The console without the pause after a received block, so that an exchange takes what the line
// and the printer take. The printer's requests to wait keep their pause. The failures' texts are
// told on each exchange's line instead of the status line's.
class PingDisplay : public ConsoleDisplay {
public:
    explicit PingDisplay(bool textResults) : ConsoleDisplay(stderr, false, textResults) {}
    bool PausesAfterBlocks() const override { return false; }
    void SetSt(const std::string& text) override
    {
        if (!running)
            ConsoleDisplay::SetSt(text);
    }
    bool running = false;
};

}  // namespace

int RunPing(const CliOptions& options)
{
    PingDisplay display(!options.json);
    CliSession cli(options);
    if (!cli.Start(&display))
        return kExitFailed;
    PrinterSession& session = cli.Session();
    if (!session.Open(options.port)) {
        if (options.json)
            WritePingSummaryJson(options.port.name, LineTally(), &session);
        return kExitFailed;
    }
    display.running = true;
    LineChecker test(session);
    const LineTally& tally = test.Run(options.count, [&](const LineExchange& exchange) {
        if (options.json)
            WritePingExchangeJson(options.port.name, exchange);
        else
            display.Result(PrinterText(ExchangeText(exchange)));
        if (exchange.result == LineExchange::kLineLost)
            display.Message(exchange.ended.text);
    });
    session.Disconnect();
    if (options.json)
        WritePingSummaryJson(options.port.name, tally, nullptr);
    else
        display.Result(PrinterText(SummaryText(tally)));
    return tally.Sound() ? kExitDone : kExitFailed;
}
