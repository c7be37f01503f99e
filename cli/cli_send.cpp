// kestro-cli send: one command given by hand, through the same cycle as the X reading.
#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/json_output.h"
#include "cli/terminal_text.h"
#include "link/traffic_format.h"
#include "session/printer_session.h"
#include "vocab/command_words.h"
#include "vocab/port_words.h"

#include <algorithm>

namespace {

constexpr size_t kHexPerLine = 16;

// What is about to go out, for the technician at a terminal: the words, Windows-1252, with the
// numbers in; the port's name goes in on the way out.
std::string EchoWords(const SendRequest& request)
{
    std::string words = kSendEchoText + std::string(request.params.empty() ? kNoParamsText : kParamsText);
    for (const int32_t value : request.params)
        words += " " + std::to_string(value);
    return FillIn(
        words, {{"command", std::to_string(request.command)}, {"extension", std::to_string(request.extension)}});
}

// Sixteen bytes a line.
void PrintHex(ConsoleDisplay& display, const std::vector<uint8_t>& bytes)
{
    for (size_t start = 0; start < bytes.size(); start += kHexPerLine)
        display.Result(HexBytes(bytes.data() + start, std::min(kHexPerLine, bytes.size() - start)));
}

// The response's fields, one a line, or with raw its bytes; and whether it was cut.
void ShowReply(ConsoleDisplay& display, const CommandReply& reply, bool raw)
{
    if (!reply.done)
        return;
    if (raw) {
        PrintHex(display, reply.response);
    } else {
        for (const std::string& field : reply.fields)
            display.Result(PrinterText(field));
    }
    if (reply.length > reply.response.size())
        display.Message(FillIn(kResponseCutText, {{"shown", std::to_string(reply.response.size())},
                                                  {"total", std::to_string(reply.length)}}));
}

}  // namespace

int RunSend(const CliOptions& options)
{
    const PortAddress& port = options.port;
    const SendRequest& request = options.send;
    CliSession cli(options);
    if (!cli.Start())
        return kExitFailed;
    ConsoleDisplay& display = cli.Display();
    PrinterSession& session = cli.Session();
    // A script reads the object, not an echo meant for a person at a terminal.
    if (StderrIsTerminal() && !options.json)
        display.Message(EchoWords(request), {{"port", port.name}});
    SessionReport report;
    report.command = "send";
    report.port = port.name;
    report.request = &request;
    report.raw = options.raw;
    report.opened = session.Open(port);
    CommandReply reply;
    if (report.opened) {
        // A failure's text reaches standard error through the cycle's status line.
        reply = session.Run(request.command, request.extension, request.params);
        session.Disconnect();
        report.reply = &reply;
        ShowReply(display, reply, options.raw);
    }
    report.status = reply.done ? kExitDone : kExitFailed;
    if (options.json)
        WriteSessionJson(report, session, display);
    return report.status;
}
