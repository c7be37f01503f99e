// Gathering a support report: the system, the ports, the printer (on the connected link, on the
// port given, or by a search), a short line test and the report's own traffic. Each part has its
// bound, and a part that fails or runs out of time is said as such while the rest still comes.
#pragma once

#include "link/traffic_decoder.h"
#include "session/printer_finder.h"
#include "session/support_report.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ReportRequest {
    std::string program;                  // "kestro-cli v01.00.00"
    PortAddress port;                     // none named: searched for, unless the session is connected
    std::vector<std::string> extraPaths;  // device paths searched beside the system's ports
    bool useConnected = false;  // the session's link, in step with its printer: no new connection, no SYN
    bool ownTraffic = true;     // the report's traffic is its own exchanges (kestro-cli)
    bool withTraffic = true;
    TrafficObserver trace;      // also shown the session's traffic (kestro-cli's --trace)
    // The ports as the front end sees them, the servers' checks given up once the poll says so (the
    // report cancelled or out of time); SurveyPorts when empty.
    std::function<PortSurvey(const std::function<bool()>& poll)> survey;
    std::chrono::milliseconds budget {9500};  // the whole report's, silent ports and all
};

// How the front end follows the gathering; each optional.
struct ReportWatch {
    std::function<void()> tick;  // every 20 ms of the search, 50 ms of a server's check: lets events through
    std::function<void(const std::string& step)> progress;  // UTF-8: "Gerando relatório: teste 4 de 10…"
    std::function<bool()> cancelled;                         // the user asked to stop
};

class ReportGathering {
public:
    static constexpr long kExchanges = 10;
    // The traffic that a report keeps, the newest.
    static constexpr size_t kTrafficCap = size_t(4) << 20;

    ReportGathering(PrinterSession& session, ReportWatch watch, LinkPacing pacing = {});

    // Runs every part; the report holds what came. Cancelled() tells whether the user stopped it,
    // in which case the report is not to be saved.
    SupportReport Gather(const ReportRequest& request);
    // Called often while a part waits (from the display's ProcessMessages, or a timer): ends the
    // running part once its time is up or the user cancelled.
    void Poll();
    bool Cancelled() const { return cancelled; }

    // The traffic put into the report as trace lines, the newest that fit `cap` bytes, and whether it
    // holds an X reading.
    static void AddTraffic(SupportReport& report, const std::vector<TrafficMessage>& messages, size_t cap);

private:
    bool Stopped() const { return cancelled || timedOut; }
    void Progress(const std::string& step) const;
    void FindPrinter(const ReportRequest& request, SupportReport& report);
    void Search(SupportReport& report);
    void TestLine(const ReportRequest& request, SupportReport& report);
    // Why a part ended early: the user or the time; empty when it did not.
    std::string StopReason() const;

    PrinterSession& session;
    const ReportWatch watch;
    const LinkPacing pacing;
    std::chrono::steady_clock::time_point deadline;
    bool running = false;
    bool cancelled = false;
    bool timedOut = false;
    PrinterFinder* finder = nullptr;  // while a search runs
    // The report's own traffic: the search's on the printer's port, then the session's.
    TrafficDecoder decoder;
    std::vector<TrafficMessage> traffic;
};
