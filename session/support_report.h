// The support report: every fact that support asks for, gathered once (report_gathering.h), and
// its one text file: the summary's checks, the sections, the traffic in the trace format, the
// code read over the phone. Texts in UTF-8.
#pragma once

#include "base/system_facts.h"
#include "serial/port_survey.h"
#include "session/line_check.h"
#include "session/printer_session.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

// One line of the summary.
struct ReportCheck {
    enum Level { kOk, kWarning, kFailure };
    Level level = kOk;
    std::string text;  // with its next step when it is no OK
};

struct SupportReport {
    std::time_t when = 0;
    std::string program;    // "kestro-cli v01.00.00"
    std::string build;      // the compiler and word size
    std::string qtVersion;  // the window's; empty in kestro-cli
    SystemFacts system;

    // A part that could not be gathered says why ("o tempo acabou") and the rest still comes.
    std::string portsFailed;
    PortSurvey survey;

    // The printer: the port where it answered or was tried, as a search's probe says it; none
    // when no port could be tried.
    std::string printerFailed;
    std::optional<PortProbe> printer;
    size_t portsSearched = 0;  // 0 when the port was given
    DeviceGroup portGroup;     // of the printer's port (Linux)

    // The short line test, exchange by exchange.
    std::string lineFailed;
    bool lineTested = false;
    std::vector<LineExchange> exchanges;
    LineTally tally;

    // The last failure of the session, as its status line said it (Windows-1252), and its pair.
    std::string lastFailure;
    ErrorPair lastPair;

    // The traffic as trace lines, the oldest first; its own header is written before them.
    bool withTraffic = true;
    std::string trafficPort;
    std::vector<std::string> traffic;
    size_t trafficCutAt = 0;  // the size kept when older lines were left out; 0 when whole
    bool holdsReadingX = false;
};

// The summary's lines, in order: ports, adapters, printer, line, last failure, and the traffic
// when it holds an X reading.
std::vector<ReportCheck> SummaryChecks(const SupportReport& report);
// "OK", "ATENÇÃO" or "FALHA".
const char* CheckWord(ReportCheck::Level level);

// The whole file's text, UTF-8 with "\n" line ends, the user's and computer's names replaced
// (the printer's identification and the traffic's bytes aside); `code` is set to its code.
std::string ReportText(const SupportReport& report, std::string& code);
// Six characters that survive a phone call (no 0/O, 1/I/L, 5/S...), from the text after the
// first line, whatever its line ends.
std::string ReportCode(const std::string& body);
// "kestro-suporte-20250301-140322-K7M2QX.txt".
std::string ReportFileName(std::time_t when, const std::string& code);
// The text as this system's editors read it (per system: Windows gets the UTF-8 mark and CR LF).
std::string SystemTextForm(const std::string& text);

// Replaces each whole occurrence of the names (a name not inside a longer word) by its stand-in.
std::string HideNames(const std::string& text, const SystemFacts& names);
