// The objects of kestro-cli's --json, written with nlohmann-json.
#include "cli/json_output.h"

#include "cli/console_display.h"
#include "link/ecf_link.h"
#include "link/traffic_format.h"
#include "serial/serial_port.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"

#include <nlohmann/json.hpp>

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
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// A printer's text, or null when it was not read.
Json Text(const std::string& cp1252) { return cp1252.empty() ? Json() : Json(Cp1252ToUtf8(cp1252)); }

Json PrinterJson(const Identification& read)
{
    return {{"model", Text(read.modelo)},
            {"serial", Text(read.nsMf)},
            {"version", read.sb.empty() ? Json() : Json(Cp1252ToUtf8(FormatSb(read.sb)))},
            {"version_raw", Text(read.sb)}};
}

Json PairJson(const CommandCycle::ErrorPair& pair)
{
    if (pair.errClass == 0)
        return nullptr;
    const ErrorWords words = ErrorParts(pair.errClass, pair.errDetail);
    return {{"class", pair.errClass},
            {"detail", pair.errDetail},
            {"title", words.title.empty() ? Json() : Json(ConsoleText(words.title))},
            {"sentence", words.sentence.empty() ? Json() : Json(ConsoleText(words.sentence))}};
}

// Why the port did not open, as its status text and the check of the device say it.
Json OpenJson(const std::string& port, int code)
{
    Json open {{"code", code}};
    const std::string notSerial = NotASerialPortReason(DevicePathForPortName(port));
    if (IsPermissionDenied(code)) {
        open["reason"] = "permission";
        open["group"] = "dialout";
    } else if (!notSerial.empty()) {
        open["reason"] = "not_serial";
        open["detail"] = notSerial;
    } else {
        open["reason"] = "other";
    }
    return open;
}

Json ResponseJson(const CommandReply& reply, bool raw)
{
    Json response {{"length", reply.length}, {"truncated", reply.length > reply.response.size()}};
    if (raw) {
        response["hex"] = HexBytes(reply.response.data(), reply.response.size());
    } else {
        Json fields = Json::array();
        for (const std::string& field : reply.fields)
            fields.push_back(Cp1252ToUtf8(field));
        response["fields"] = fields;
    }
    return response;
}

}  // namespace

void WriteSessionJson(const SessionReport& report)
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
    Json error;
    if (!report.opened) {
        error = {{"message", ConsoleText(OpenFailureText(report.openError))},
                 {"pair", nullptr},
                 {"open", OpenJson(report.port, report.openError)}};
    } else if (report.status != 0) {
        // The status line's last text: what the window would be left showing.
        error = {{"message", report.messages.empty() ? Json() : Json(report.messages.back())},
                 {"pair", PairJson(report.pair)},
                 {"open", nullptr}};
    }
    object["error"] = error;
    object["messages"] = report.messages;
    Write(object);
}

void WritePortsJson(const std::vector<PortCandidate>& ports, const std::vector<RejectedPath>& rejected)
{
    Json list = Json::array();
    for (const PortCandidate& port : ports) {
        list.push_back({{"name", port.name},
                        {"path", port.path},
                        {"adapter", port.description.empty() ? Json() : Json(port.description)},
                        {"state", "usable"}});
    }
    Json refused = Json::array();
    for (const RejectedPath& path : rejected)
        refused.push_back({{"path", path.path}, {"reason", path.why}});
    Json object = Object("ports");
    object["ports"] = list;
    object["rejected"] = refused;
    Write(object);
}

void WritePrinterJson(const PortProbe& probe)
{
    Json object = Object("find");
    object["type"] = "printer";
    object["port"] = probe.port;
    object["identified"] = probe.identified;
    object["printer"] = PrinterJson(probe.identification);
    object["messages"] = probe.identified ? Json::array() : Json::array({"Erro ao ler ECF"});
    Write(object);
}

void WriteFindSummaryJson(const std::vector<PortProbe>& probes)
{
    static const char* const kResults[] = {"printer", "not_opened", "no_printer"};
    Json ports = Json::array();
    int found = 0;
    for (const PortProbe& probe : probes) {
        found += probe.outcome == PortProbe::kPrinter;
        ports.push_back({{"port", probe.port},
                         {"result", kResults[probe.outcome]},
                         {"message", probe.why.empty() ? Json() : Json(ConsoleText(probe.why))}});
    }
    Json object = Object("find");
    object["type"] = "summary";
    object["found"] = found;
    object["tried"] = probes.size();
    object["message"] = found == 0 ? Json("Nenhum ECF encontrado") : Json();
    object["ports"] = ports;
    Write(object);
}
