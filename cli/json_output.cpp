// The objects of kestro-cli's --json, written with nlohmann-json.
#include "cli/json_output.h"

#include "cli/console.h"
#include "cli/console_display.h"
#include "cli/terminal_text.h"
#include "link/traffic_format.h"
#include "session/adapter_texts.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "session/support_report.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

namespace {

// Keys in the order that docs/json.md shows them.
using Json = nlohmann::ordered_json;

constexpr int kFormat = 1;

Json Object(const std::string& command) { return Json {{"format", kFormat}, {"command", command}}; }

// One object on one line, flushed at once, so that a reader sees each result when it is known.
// Names that the system gives (an adapter's) may be no valid UTF-8: those bytes become U+FFFD
// rather than ending the program.
void Write(const Json& object)
{
    const std::string line = object.dump(-1, ' ', false, Json::error_handler_t::replace);
    WriteText(stdout, line + "\n");
    std::fflush(stdout);
}

// A text, or null where there is none.
Json OrNull(const std::string& text) { return text.empty() ? Json() : Json(text); }

// A printer's text as it came: the JSON's one turn of the printer's Windows-1252 (the messages are
// standard error's lines, ConsoleText).
std::string AsSent(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

// A printer's text, or null when it was not read.
Json Text(const std::string& cp1252) { return OrNull(AsSent(cp1252)); }

Json PrinterJson(const Identification& read)
{
    return {{"model", Text(read.modelo)},
            {"serial", Text(read.nsMf)},
            {"version", read.sb.empty() ? Json() : Json(AsSent(FormatSb(read.sb)))},
            {"version_raw", Text(read.sb)}};
}

// A title or sentence without the blanks that some of the printer's sentences start with, which
// the window shows as they are and a script would have to strip.
std::string Stripped(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A lost line is said by the link for the kind of port (the server and its port, for a network
// port), which `message` already holds: the pair's sentence says the same.
Json PairJson(const ErrorPair& pair, const std::string& message)
{
    if (pair.errClass == 0)
        return nullptr;
    const ErrorWords words = ErrorParts(pair.errClass, pair.errDetail);
    const bool lineLost = pair.errClass == kLinkErrorClass && pair.errDetail == kLinkLineLost;
    return {{"class", pair.errClass},
            {"detail", pair.errDetail},
            {"title", OrNull(Stripped(ConsoleText(words.title)))},
            {"sentence", OrNull(lineLost ? message : Stripped(ConsoleText(words.sentence)))}};
}

// How a command ended, in the word that scripts match.
const char* OutcomeWord(CommandOutcome::Kind kind)
{
    switch (kind) {
    case CommandOutcome::kDone:
        return "done";
    case CommandOutcome::kNotOpened:
        return "not_opened";
    case CommandOutcome::kLineLost:
        return "line_lost";
    case CommandOutcome::kBusyGivenUp:
        return "busy_given_up";
    case CommandOutcome::kNoAnswer:
        return "no_answer";
    case CommandOutcome::kInvalidAnswer:
        return "invalid_answer";
    case CommandOutcome::kRefused:
        return "refused";
    case CommandOutcome::kNotSent:
        return "not_sent";
    case CommandOutcome::kCancelled:
        break;
    }
    return "cancelled";
}

const char* StateWord(PortState state)
{
    switch (state) {
    case PortState::kFree:
        return "free";
    case PortState::kNoPermission:
        return "no_permission";
    case PortState::kInUse:
        return "in_use";
    case PortState::kNotSerial:
        return "not_serial";
    case PortState::kGone:
        return "gone";
    case PortState::kNoDevice:
        return "no_device";
    case PortState::kRefused:
        return "refused";
    case PortState::kUnreachable:
        return "unreachable";
    case PortState::kNameNotFound:
        return "name_not_found";
    case PortState::kNotChecked:
        return "not_checked";
    case PortState::kOpenError:
        break;
    }
    return "open_error";
}

// A port's state: the same keys for a port listed, skipped by find or refused on opening.
Json StatusJson(const PortStatus& status)
{
    Json holder;
    if (status.state == PortState::kInUse) {
        holder = {{"name", OrNull(status.holder)}, {"pid", status.pid == 0 ? Json() : Json(status.pid)}};
    }
    return {{"state", StateWord(status.state)},
            {"reason", ConsoleText(PortStateText(status))},
            {"code", status.error == 0 ? Json() : Json(status.error)},
            {"group", OrNull(status.group)},
            {"holder", holder}};
}

// "1A86": the ids as Device Manager and lsusb write them.
std::string Hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

// Who the USB adapter is, or null where none is seen.
Json UsbJson(const UsbIdentity& usb)
{
    if (!usb.known)
        return nullptr;
    return {{"vid", Hex4(usb.vid)},
            {"pid", Hex4(usb.pid)},
            {"revision", usb.revision < 0 ? Json() : Json(Hex4(static_cast<unsigned>(usb.revision)))},
            {"serial", OrNull(usb.serial)},
            {"chip", OrNull(usb.chip)}};
}

// The stable word for an adapter's problem.
const char* ProblemKindWord(AdapterProblem kind)
{
    switch (kind) {
    case AdapterProblem::kNoDriver:
        return "no_driver";
    case AdapterProblem::kNotStarted:
        return "not_started";
    case AdapterProblem::kChipRefused:
        return "chip_refused";
    case AdapterProblem::kDisabled:
        return "disabled";
    case AdapterProblem::kDriverNotLoaded:
        return "driver_not_loaded";
    case AdapterProblem::kStopped:
        return "stopped";
    case AdapterProblem::kErasedProductId:
        return "erased_product_id";
    case AdapterProblem::kReserved:
        return "reserved";
    case AdapterProblem::kNoModule:
        return "no_module";
    case AdapterProblem::kOtherCode:
    case AdapterProblem::kNone:
        break;
    }
    return "other";
}

// What is wrong with the adapter, or null when nothing is.
Json ProblemJson(const AdapterReport& adapter)
{
    if (adapter.kind == AdapterProblem::kNone)
        return nullptr;
    return {{"kind", ProblemKindWord(adapter.kind)},
            {"code", adapter.code == 0 ? Json() : Json(adapter.code)},
            {"text", AdapterProblemText(adapter)}};
}

Json PortJson(const PortReport& report)
{
    Json port {
        {"name", report.port.name}, {"path", report.port.path}, {"adapter", OrNull(report.port.description)}};
    port.update(StatusJson(report.status));
    port["usb"] = UsbJson(report.adapter.usb);
    port["problem"] = ProblemJson(report.adapter);
    return port;
}

Json AdapterJson(const AdapterReport& adapter)
{
    return {{"port", OrNull(adapter.port)},
            {"name", adapter.name},
            {"present", adapter.present},
            {"usb", UsbJson(adapter.usb)},
            {"problem", ProblemJson(adapter)}};
}

Json ResponseJson(const CommandReply& reply, bool raw)
{
    Json response {{"length", reply.length}, {"truncated", reply.length > reply.response.size()}};
    if (raw) {
        response["hex"] = HexBytes(reply.response.data(), reply.response.size());
    } else {
        Json fields = Json::array();
        for (const std::string& field : reply.fields)
            fields.push_back(AsSent(field));
        response["fields"] = fields;
    }
    return response;
}

}  // namespace

void WriteSessionJson(const SessionReport& report, const PrinterSession& session, const ConsoleDisplay& display)
{
    Json object = Object(report.command);
    object["port"] = report.port;
    object["ok"] = report.status == 0;
    if (report.read != nullptr)
        object["printer"] = PrinterJson(*report.read);
    if (report.command == "lx")
        object["reading_x"] = report.readingX ? Json(*report.readingX) : Json();
    if (report.request != nullptr) {
        object["request"] = {{"command", report.request->command},
                             {"extension", report.request->extension},
                             {"params", report.request->params}};
        object["response"] =
            report.reply != nullptr && report.reply->done ? ResponseJson(*report.reply, report.raw) : Json();
    }
    const std::vector<std::string>& messages = display.Messages();
    Json error;
    if (!report.opened) {
        error = {{"message", ConsoleText(session.OpenFailureSaid())},
                 {"outcome", OutcomeWord(CommandOutcome::kNotOpened)},
                 {"pair", nullptr},
                 {"open", StatusJson(session.OpenFailure())}};
    } else if (report.status != 0) {
        // The status line's last text: what the window would be left showing.
        // A command that found the port gone after it opened names why, as a failed open does.
        const bool reopenFailed = session.OpenFailure().state != PortState::kFree;
        const std::string message = messages.empty() ? std::string() : messages.back();
        error = {{"message", OrNull(message)},
                 {"outcome", OutcomeWord(session.Outcome().kind)},
                 {"pair", PairJson(session.ShownPair(), message)},
                 {"open", reopenFailed ? StatusJson(session.OpenFailure()) : Json()}};
    }
    object["error"] = error;
    object["messages"] = messages;
    Write(object);
}

void WritePortsJson(const PortSurvey& survey, bool all)
{
    Json ports = Json::array();
    Json rejected = Json::array();
    for (const PortReport& report : survey.ports) {
        if (PortSurvey::Offers(report) || all)
            ports.push_back(PortJson(report));
        if (survey.NamedAndLeftOut(report))
            rejected.push_back(PortJson(report));
    }
    Json adapters = Json::array();
    for (const AdapterReport& adapter : survey.Troubled())
        adapters.push_back(AdapterJson(adapter));
    Json object = Object("ports");
    object["all"] = all;
    object["ports"] = ports;
    object["left_out"] = survey.LeftOutCount();
    object["rejected"] = rejected;
    object["adapters"] = adapters;
    Write(object);
}

void WritePrinterJson(const PortProbe& probe)
{
    Json object = Object("find");
    object["type"] = "printer";
    object["port"] = probe.port.name;
    object["identified"] = probe.identified;
    object["printer"] = PrinterJson(probe.identification);
    object["messages"] = probe.identified ? Json::array() : Json::array({OneLine(ConsoleText(probe.why))});
    Write(object);
}

void WriteFindSummaryJson(const std::vector<PortProbe>& tried, const std::vector<PortReport>& skipped,
                          const std::string& summary)
{
    static const char* const kResults[] = {"printer", "not_opened", "no_printer"};
    Json ports = Json::array();
    int found = 0;
    int identified = 0;
    for (const PortProbe& probe : tried) {
        found += probe.outcome == PortProbe::kPrinter;
        identified += probe.identified;
        ports.push_back({{"port", probe.port.name},
                         {"result", kResults[probe.outcome]},
                         {"message", OrNull(ConsoleText(probe.why))},
                         {"outcome", probe.identified ? Json() : Json(OutcomeWord(probe.ended.kind))},
                         {"status", nullptr}});
    }
    for (const PortReport& report : skipped) {
        ports.push_back({{"port", report.port.name},
                         {"result", "skipped"},
                         {"message", ConsoleText(PortStateText(report.status))},
                         {"status", StatusJson(report.status)}});
    }
    Json object = Object("find");
    object["type"] = "summary";
    object["found"] = found;
    object["identified"] = identified;
    object["unidentified"] = found - identified;
    object["tried"] = tried.size();
    object["skipped"] = skipped.size();
    object["message"] = ConsoleText(summary);
    object["ports"] = ports;
    Write(object);
}

namespace {

// In the order of LineExchange::Result.
const char* const kPingResults[] = {"ok", "differs", "refused", "no_answer", "busy", "line_lost"};

}  // namespace

void WritePingExchangeJson(const std::string& port, const LineExchange& exchange)
{
    Json object = Object("ping");
    object["port"] = port;
    object["n"] = exchange.number;
    object["result"] = kPingResults[exchange.result];
    object["ms"] = exchange.ms;
    object["busy_answers"] = exchange.busyAnswers;
    object["answer"] = exchange.result == LineExchange::kDiffers ? Json(AsSent(exchange.answer)) : Json();
    const CommandOutcome& ended = exchange.ended;
    object["error"] = ended.text.empty() ? Json()
                                         : Json {{"message", ConsoleText(ended.text)},
                                                 {"outcome", OutcomeWord(ended.kind)},
                                                 {"pair", PairJson(ended.pair, ConsoleText(ended.text))},
                                                 {"open", nullptr}};
    Write(object);
}

void WritePingSummaryJson(const std::string& port, const LineTally& tally, const PrinterSession* notOpened)
{
    Json object = Object("ping");
    object["port"] = port;
    object["summary"] = true;
    object["sent"] = tally.Sent();
    for (int result = 0; result < LineExchange::kResults; ++result)
        object[kPingResults[result]] = tally.Count(static_cast<LineExchange::Result>(result));
    long min = 0, median = 0, max = 0;
    const bool timed = tally.Times(min, median, max);
    object["min_ms"] = timed ? Json(min) : Json();
    object["median_ms"] = timed ? Json(median) : Json();
    object["max_ms"] = timed ? Json(max) : Json();
    object["error"] = notOpened == nullptr ? Json()
                                           : Json {{"message", ConsoleText(notOpened->OpenFailureSaid())},
                                                   {"outcome", OutcomeWord(CommandOutcome::kNotOpened)},
                                                   {"pair", nullptr},
                                                   {"open", StatusJson(notOpened->OpenFailure())}};
    Write(object);
}

void WriteReportJson(const SupportReport& report, const std::string& path, const std::string& code,
                     const std::string& notWritten)
{
    static const char* const kLevels[] = {"ok", "warning", "failure"};
    static const char* const kResults[] = {"printer", "not_opened", "no_printer"};
    Json object = Object("report");
    object["written"] = notWritten.empty();
    object["path"] = path;
    object["code"] = OrNull(code);
    object["error"] = OrNull(notWritten);
    Json summary = Json::array();
    for (const ReportCheck& check : SummaryChecks(report))
        summary.push_back({{"level", kLevels[check.level]}, {"text", check.text}});
    object["summary"] = summary;
    object["system"] = {{"program", report.program},
                        {"build", report.build},
                        {"system", report.system.system},
                        {"program_bits", report.system.programBits},
                        {"system_bits", report.system.systemBits == 0 ? Json() : Json(report.system.systemBits)},
                        {"port_group", report.portGroup.known ? Json {{"group", report.portGroup.group},
                                                                      {"member", report.portGroup.member}}
                                                              : Json()}};
    Json ports = Json::array();
    for (const PortReport& port : report.survey.ports)
        ports.push_back(PortJson(port));
    Json adapters = Json::array();
    for (const AdapterReport& adapter : report.survey.Troubled())
        adapters.push_back(AdapterJson(adapter));
    object["ports"] = report.portsFailed.empty() ? ports : Json();
    object["adapters"] = report.portsFailed.empty() ? adapters : Json();
    Json printer;
    if (report.printer) {
        printer = {{"port", report.printer->port.name},
                   {"result", kResults[report.printer->outcome]},
                   {"identified", report.printer->identified},
                   {"printer", PrinterJson(report.printer->identification)},
                   {"message", OrNull(OneLine(ConsoleText(report.printer->why)))}};
    }
    object["printer"] = printer;
    object["ports_searched"] = report.portsSearched;
    Json line;
    if (report.lineTested) {
        line = {{"sent", report.tally.Sent()}};
        for (int result = 0; result < LineExchange::kResults; ++result)
            line[kPingResults[result]] = report.tally.Count(static_cast<LineExchange::Result>(result));
        long min = 0, median = 0, max = 0;
        const bool timed = report.tally.Times(min, median, max);
        line["min_ms"] = timed ? Json(min) : Json();
        line["median_ms"] = timed ? Json(median) : Json();
        line["max_ms"] = timed ? Json(max) : Json();
        Json exchanges = Json::array();
        for (const LineExchange& exchange : report.exchanges)
            exchanges.push_back({{"n", exchange.number}, {"result", kPingResults[exchange.result]}, {"ms", exchange.ms}});
        line["exchanges"] = exchanges;
    }
    object["line"] = line;
    object["last_failure"] = report.lastFailure.empty() && report.lastPair.errClass == 0
                                 ? Json()
                                 : Json {{"message", OrNull(OneLine(ConsoleText(report.lastFailure)))},
                                         {"pair", PairJson(report.lastPair, ConsoleText(report.lastFailure))}};
    object["traffic"] = {{"included", report.withTraffic},
                         {"messages", report.traffic.size()},
                         {"cut", report.trafficCutAt > 0},
                         {"reading_x", report.holdsReadingX}};
    // The user's and the computer's names, as the file hides them.
    const std::string text = object.dump(-1, ' ', false, Json::error_handler_t::replace);
    WriteText(stdout, HideNames(text, report.system) + "\n");
    std::fflush(stdout);
}
