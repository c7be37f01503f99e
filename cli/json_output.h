// kestro-cli's --json: one JSON object per result on standard output, with the stable English keys
// that docs/json.md documents. Printer texts are Windows-1252 and come out as UTF-8 strings;
// only this file's implementation knows the JSON library.
#pragma once

#include "cli/cli_options.h"
#include "cli/console_display.h"
#include "serial/port_status.h"
#include "serial/port_survey.h"
#include "session/line_check.h"
#include "session/printer_session.h"

#include <optional>
#include <string>
#include <vector>

struct SupportReport;

// What identify, lx and send did, for their one object.
struct SessionReport {
    std::string command;  // "identify", "lx" or "send"
    std::string port;
    int status = 0;  // the exit status: "ok" when 0
    bool opened = false;
    const Identification* read = nullptr;  // identify and lx
    std::optional<bool> readingX;          // lx, once it was tried
    const SendRequest* request = nullptr;  // send
    const CommandReply* reply = nullptr;   // send, once the command ran
    bool raw = false;                      // send --raw: the response's bytes in hex
};
// The session gives why its port did not open and the error pair, the display what standard
// error carried.
void WriteSessionJson(const SessionReport& report, const PrinterSession& session, const ConsoleDisplay& display);

// ports: the free ports (with all, every candidate), how many were left out, the device paths
// named that cannot be used, and the adapters with a problem or a number kept while absent.
void WritePortsJson(const PortSurvey& survey, bool all);

// find: one line per printer, written the moment it is known, then one summary line with the
// ports tried (in the order they finished), those skipped, and standard error's last line
// (Windows-1252).
void WritePrinterJson(const PortProbe& probe);
void WriteFindSummaryJson(const std::vector<PortProbe>& tried, const std::vector<PortReport>& skipped,
                          const std::string& summary);

// ping: one object per exchange as it ends, then the summary; a port that did not open gives
// the summary alone, with why from the session that tried it.
void WritePingExchangeJson(const std::string& port, const LineExchange& exchange);
void WritePingSummaryJson(const std::string& port, const LineTally& tally, const PrinterSession* notOpened);

// report: the report's facts as one object, with the file's path and code, or why it was not
// written.
void WriteReportJson(const SupportReport& report, const std::string& path, const std::string& code,
                     const std::string& notWritten);
