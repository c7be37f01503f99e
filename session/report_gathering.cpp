// The report's parts, one after another, each cut short by Poll when the time is up.
#include "session/report_gathering.h"

#include "base/version.h"
#include "link/command_numbers.h"
#include "link/frame_layout.h"
#include "link/traffic_format.h"
#include "serial/port_list.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"
#include "vocab/filling.h"
#include "vocab/report_words.h"

#include <ctime>

namespace {

// A frame of the X reading among the host's messages.
bool IsReadingX(const TrafficMessage& message)
{
    return message.direction == TrafficDirection::kSent && message.raw.size() > frame::kExt &&
           message.raw[0] == frame::kSoh && message.raw[frame::kCmd] == command::kReadingX &&
           message.raw[frame::kExt] == 0;
}

}  // namespace

ReportGathering::ReportGathering(PrinterSession& session, ReportWatch watch, LinkPacing pacing)
    : session(session),
      watch(std::move(watch)),
      pacing(std::move(pacing))
{
}

void ReportGathering::Progress(const std::string& step) const
{
    if (watch.progress)
        watch.progress(step);
}

void ReportGathering::Poll()
{
    if (!running || Stopped())
        return;
    cancelled = watch.cancelled && watch.cancelled();
    timedOut = !cancelled && std::chrono::steady_clock::now() >= deadline;
    if (!Stopped())
        return;
    session.Cancel();
    if (finder != nullptr)
        finder->Cancel();
}

std::string ReportGathering::StopReason() const
{
    return cancelled ? kCancelledReason : timedOut ? kTimedOutReason : "";
}

SupportReport ReportGathering::Gather(const ReportRequest& request)
{
    deadline = std::chrono::steady_clock::now() + request.budget;
    running = true;
    SupportReport report;
    report.when = std::time(nullptr);
    report.program = request.program;
    report.build = ProgramBuildText();
    report.system = ReadSystemFacts();
    report.withTraffic = request.withTraffic;
    if (request.ownTraffic)
        session.SetTrafficObserver([this, trace = request.trace](const TrafficRun& run) {
            decoder.Feed(run, traffic);
            if (trace)
                trace(run);
        });

    Progress(kMakingPortsText);
    // The port given is listed with its state too, when it is a device of this computer.
    std::vector<std::string> named = request.extraPaths;
    if (!request.port.name.empty() && !request.port.OnServer())
        named.push_back(request.port.path);
    const auto stopped = [this] {
        if (watch.tick)
            watch.tick();
        Poll();
        return Stopped();
    };
    ServerCheckWatch checks;
    checks.poll = stopped;
    report.survey = request.survey ? request.survey(stopped) : SurveyPorts(named, ListAdapters, checks);
    Poll();
    if (Stopped())
        report.portsFailed = StopReason();
    if (!cancelled)
        FindPrinter(request, report);
    if (!cancelled)
        TestLine(request, report);

    // The last failure: the line test's, when it had one; else the session's, which the caller gave.
    for (const LineExchange& exchange : report.exchanges) {
        if (!exchange.ended.text.empty()) {
            report.lastFailure = exchange.ended.text;
            report.lastPair = exchange.ended.pair;
        }
    }
    if (request.ownTraffic) {
        session.SetTrafficObserver({});
        decoder.Flush(traffic);
        if (request.withTraffic)
            AddTraffic(report, traffic, kTrafficCap);
        report.trafficPort = (report.printer ? report.printer->port : request.port).name;
    }
    running = false;
    return report;
}

void ReportGathering::FindPrinter(const ReportRequest& request, SupportReport& report)
{
    if (request.useConnected) {
        PortProbe probe;
        probe.port = session.Port();
        probe.outcome = PortProbe::kPrinter;
        probe.identification = session.Ident();
        probe.identified = true;
        report.printer = probe;
    } else if (!request.port.name.empty()) {
        Progress(kMakingPrinterText);
        report.printer = session.Probe(request.port);
    } else {
        Progress(kMakingPrinterText);
        Search(report);
    }
    if (Stopped() && !(report.printer && report.printer->identified))
        report.printerFailed = StopReason();
    if (report.printer)
        report.portGroup = DeviceGroupOf(report.printer->port.path);
}

void ReportGathering::Search(SupportReport& report)
{
    std::vector<PortAddress> ports;
    for (const PortCandidate& port : report.survey.Offered())
        ports.push_back(port.Address());
    report.portsSearched = ports.size();
    if (ports.empty())
        return;
    PrinterFinder search(pacing);
    std::vector<std::vector<TrafficMessage>> found(ports.size());
    std::vector<TrafficDecoder> decoders(ports.size());
    // Each port's link on its own thread, each with its own decoder and messages.
    search.SetTrafficObservers([&](const std::string& port) -> TrafficObserver {
        for (size_t i = 0; i < ports.size(); ++i) {
            if (ports[i].name == port)
                return [&decoders, &found, i](const TrafficRun& run) { decoders[i].Feed(run, found[i]); };
        }
        return {};
    });
    finder = &search;
    SearchWatch followed;
    followed.tick = [this] {
        if (watch.tick)
            watch.tick();
        Poll();
    };
    const SearchResult result = search.Search(ports, PrinterFinder::SearchEnd::kPicked, followed);
    finder = nullptr;
    if (!result.picked)
        return;
    report.printer = result.probes[*result.picked];
    for (size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].name == report.printer->port.name) {
            decoders[i].Flush(found[i]);
            traffic = std::move(found[i]);
        }
    }
}

void ReportGathering::TestLine(const ReportRequest& request, SupportReport& report)
{
    if (!report.printer || !report.printer->identified || Stopped())
        return;
    if (!request.useConnected && !session.Open(report.printer->port)) {
        report.lineFailed = Cp1252ToUtf8(OneLine(session.OpenFailureSaid()));
        return;
    }
    report.lineTested = true;
    Progress(FillIn(kMakingTestText, {{"number", "1"}, {"count", std::to_string(kExchanges)}}));
    LineChecker test(session);
    if (request.useConnected)
        test.KeepSequence();
    report.tally = test.Run(kExchanges, [&](const LineExchange& exchange) {
        report.exchanges.push_back(exchange);
        if (exchange.number < kExchanges)
            Progress(FillIn(kMakingTestText,
                            {{"number", std::to_string(exchange.number + 1)}, {"count", std::to_string(kExchanges)}}));
    });
    if (Stopped())
        report.lineFailed = StopReason();
    if (!request.useConnected)
        session.Disconnect();
}

void ReportGathering::AddTraffic(SupportReport& report, const std::vector<TrafficMessage>& messages, size_t cap)
{
    size_t kept = 0;
    size_t first = messages.size();
    std::vector<std::string> lines;
    while (first > 0) {
        std::string line = TrafficLine(messages[first - 1]);
        if (kept + line.size() + 1 > cap) {
            report.trafficCutAt = cap;
            break;
        }
        kept += line.size() + 1;
        lines.push_back(std::move(line));
        --first;
    }
    report.traffic.assign(lines.rbegin(), lines.rend());
    for (size_t i = first; i < messages.size(); ++i)
        report.holdsReadingX = report.holdsReadingX || IsReadingX(messages[i]);
}
