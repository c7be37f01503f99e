// The support report's summary, sections, code and name.
#include "session/support_report.h"

#include "base/local_time.h"
#include "session/adapter_texts.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "trace/trace_line.h"
#include "vocab/cp1252.h"
#include "vocab/error_text.h"
#include "vocab/report_words.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace {

// A text of the programs (Windows-1252, lines broken with CR LF) on one UTF-8 line.
std::string Line(const std::string& cp1252) { return Cp1252ToUtf8(OneLine(cp1252)); }

std::string Failed(const std::string& reason) { return FillIn(kPartFailedText, {{"reason", reason}}); }

ReportCheck PortsCheck(const SupportReport& report)
{
    if (!report.portsFailed.empty())
        return {ReportCheck::kWarning, "Portas: " + Failed(report.portsFailed) + "."};
    std::string names;
    size_t free = 0;
    const PortReport* firstLeftOut = nullptr;
    size_t leftOut = 0;
    for (const PortReport& port : report.survey.ports) {
        if (PortSurvey::Offers(port)) {
            names += (free++ == 0 ? "" : ", ") + port.port.name;
        } else if (LeftOut(port.status)) {
            firstLeftOut = firstLeftOut ? firstLeftOut : &port;
            ++leftOut;
        }
    }
    if (free == 0) {
        const std::string why = firstLeftOut ? " (" + LeftOutText(report.survey, *firstLeftOut, firstLeftOut->port.name) + ")" : "";
        return {ReportCheck::kFailure,
                FillIn(kNoFreePortText, {{"why", why}, {"step", firstLeftOut ? kLeftOutStep : kNoPortStep}})};
    }
    const std::string freeText = Counted(free, kFreePortsWords);
    if (leftOut == 0)
        return {ReportCheck::kOk, FillIn(kPortsFreeText, {{"free", freeText}, {"names", names}})};
    return {ReportCheck::kWarning,
            FillIn(kPortsLeftOutCheck,
                   {{"free", freeText + " (" + names + ")"},
                    {"leftOut", Counted(leftOut, kLeftOutWords)},
                    {"first", LeftOutText(report.survey, *firstLeftOut, firstLeftOut->port.name)}})};
}

ReportCheck AdaptersCheck(const SupportReport& report)
{
    std::string problems;
    for (const AdapterReport& adapter : report.survey.Troubled())
        problems += (problems.empty() ? "" : " ") + AdapterProblemText(adapter);
    if (problems.empty())
        return {ReportCheck::kOk, kAdaptersOkText};
    return {ReportCheck::kWarning, FillIn(kAdaptersTroubledText, {{"problems", problems}})};
}

std::string IdentificationText(const Identification& identification)
{
    std::string text;
    for (const LabelledItem& item : LabelledItems(identification))
        text += (text.empty() ? "" : ", ") + Cp1252ToUtf8(item.text);
    return text;
}

ReportCheck PrinterCheck(const SupportReport& report)
{
    if (!report.printerFailed.empty())
        return {ReportCheck::kFailure, FillIn(kPrinterPartFailedText, {{"failed", Failed(report.printerFailed)}})};
    if (!report.printer) {
        if (report.portsSearched == 0)
            return {ReportCheck::kFailure, kNoPortToTryText};
        return {ReportCheck::kFailure,
                FillIn(kNoPrinterAnsweredText, {{"tried", Counted(report.portsSearched, kFreePortsTriedWords)}})};
    }
    const PortProbe& probe = *report.printer;
    if (probe.identified)
        return {ReportCheck::kOk,
                FillIn(kPrinterFoundText, {{"items", IdentificationText(probe.identification)}, {"port", probe.port.name}})};
    switch (probe.outcome) {
    case PortProbe::kNotOpened:
        return {ReportCheck::kFailure, FillIn(kPrinterNotOpenedText, {{"port", probe.port.name}, {"why", Line(probe.why)}})};
    case PortProbe::kNoPrinter:
        return {ReportCheck::kFailure, FillIn(kPrinterSilentText, {{"port", probe.port.name}})};
    case PortProbe::kPrinter:
        break;
    }
    return {ReportCheck::kFailure, FillIn(kPrinterNotIdentifiedText, {{"port", probe.port.name}, {"why", Line(probe.why)}})};
}

ReportCheck LineCheck(const SupportReport& report)
{
    if (!report.lineFailed.empty())
        return {ReportCheck::kWarning, FillIn(kLinePartFailedText, {{"failed", Failed(report.lineFailed)}})};
    if (!report.lineTested)
        return {ReportCheck::kWarning, kLineNotTestedText};
    const std::string summary = Line(StatusSummaryText(report.tally));
    if (report.tally.Sound())
        return {ReportCheck::kOk, FillIn(kLineSoundText, {{"summary", summary}})};
    return {report.tally.Answered() > 0 ? ReportCheck::kWarning : ReportCheck::kFailure,
            FillIn(kLineFaultyText, {{"summary", summary}})};
}

ReportCheck LastFailureCheck(const SupportReport& report)
{
    if (report.lastFailure.empty() && report.lastPair.errClass == 0)
        return {ReportCheck::kOk, kNoLastFailureText};
    const std::string pair = report.lastPair.errClass == 0
                                 ? std::string()
                                 : FillIn(kLastFailurePair, {{"class", std::to_string(report.lastPair.errClass)},
                                                             {"detail", std::to_string(report.lastPair.errDetail)}});
    const std::string text = report.lastFailure.empty()
                                 ? Line(ErrorText(report.lastPair.errClass, report.lastPair.errDetail))
                                 : Line(report.lastFailure);
    return {ReportCheck::kWarning, FillIn(kLastFailureText, {{"text", text}, {"pair", pair}})};
}

std::string Title(const char* title) { return std::string("\n== ") + title + " ==\n"; }

std::string DateText(std::time_t when, const char* format)
{
    std::tm local {};
    char text[32] = "";
    if (LocalTimeOf(when, local))
        std::strftime(text, sizeof text, format, &local);
    return text;
}

// The USB facts that support asks of an adapter: ids, release, serial number.
std::string UsbFacts(const UsbIdentity& usb)
{
    if (!usb.known)
        return {};
    char revision[16] = "";
    if (usb.revision >= 0)
        std::snprintf(revision, sizeof revision, " rev %04X", static_cast<unsigned>(usb.revision));
    return FillIn(kUsbFactsText,
                  {{"ids", UsbIdText(usb)}, {"revision", revision}, {"serial", usb.serial.empty() ? "" : ", s/n " + usb.serial}});
}

std::string SystemSection(const SupportReport& report)
{
    std::string text = Title(kSystemSection);
    text += FillIn(kProgramLine, {{"program", report.program}, {"build", report.build}}) + "\n";
    text += FillIn(kSystemLine, {{"system", report.system.system}}) + "\n";
    text += FillIn(kBitsLine, {{"program", std::to_string(report.system.programBits)},
                               {"system", report.system.systemBits ? std::to_string(report.system.systemBits) : "?"}}) +
            "\n";
    if (!report.qtVersion.empty())
        text += FillIn(kQtLine, {{"version", report.qtVersion}}) + "\n";
    if (report.portGroup.known && report.printer) {
        const char* line = report.portGroup.member ? kGroupMemberLine : kGroupNotMemberLine;
        text += FillIn(line, {{"port", report.printer->port.name}, {"group", report.portGroup.group}}) + "\n";
    }
    return text;
}

std::string PortsSection(const SupportReport& report)
{
    std::string text = Title(kPortsSection);
    if (!report.portsFailed.empty())
        return text + Failed(report.portsFailed) + "\n";
    if (report.survey.ports.empty())
        text += std::string(kNoPortsLine) + "\n";
    for (const PortReport& port : report.survey.ports) {
        text += port.port.name + "\t" + Line(PortStateText(port.status));
        const std::string adapter = PortAdapterText(port);
        if (!adapter.empty())
            text += "\t" + adapter;
        const std::string usb = UsbFacts(port.adapter.usb);
        if (!usb.empty())
            text += "\t" + usb;
        text += "\n";
    }
    for (const AdapterReport& adapter : report.survey.Troubled()) {
        const bool portFirst = adapter.present && !adapter.port.empty();
        text += (portFirst ? adapter.port + "\t" : std::string()) + AdapterProblemText(adapter);
        const std::string usb = UsbFacts(adapter.usb);
        text += (usb.empty() ? "" : "\t" + usb) + "\n";
    }
    return text;
}

std::string PrinterSection(const SupportReport& report)
{
    std::string text = Title(kPrinterSection);
    if (!report.printerFailed.empty())
        return text + Failed(report.printerFailed) + "\n";
    if (!report.printer)
        return text + PrinterCheck(report).text + "\n";
    text += FillIn(kPrinterPortLine, {{"port", report.printer->port.name}}) + "\n";
    if (report.printer->identified || report.printer->outcome == PortProbe::kPrinter) {
        for (const LabelledItem& item : LabelledItems(report.printer->identification))
            text += Cp1252ToUtf8(item.text) + "\n";
    }
    if (!report.printer->identified)
        text += PrinterCheck(report).text + "\n";
    return text;
}

std::string LineSection(const SupportReport& report)
{
    std::string text = Title(kLineSection);
    if (!report.lineFailed.empty())
        text += Failed(report.lineFailed) + "\n";
    else if (!report.lineTested)
        return text + kLineNotTestedText + "\n";
    for (const LineExchange& exchange : report.exchanges)
        text += Line(ExchangeText(exchange)) + "\n";
    if (report.tally.Sent() > 0)
        text += Line(SummaryText(report.tally)) + "\n";
    return text;
}

std::string TrafficSection(const SupportReport& report)
{
    std::string text = Title(kTrafficSection);
    if (!report.withTraffic)
        return text + kTrafficLeftOutText + "\n";
    // The trace's own header: kestro-sim --replay reads the report from here on.
    text += TraceHeader(report.program, report.trafficPort, report.when) + "\n";
    if (report.trafficCutAt > 0)
        text += FillIn(kTrafficCutNote, {{"size", std::to_string(report.trafficCutAt >> 20) + " MiB"}}) + "\n";
    if (report.traffic.empty())
        text += std::string(kNoTrafficNote) + "\n";
    return text;
}

// The traffic's lines: a note (no bytes) is hidden as any text is; a message's bytes stay as they went.
std::string TrafficLines(const SupportReport& report)
{
    std::string text;
    for (const std::string& line : report.traffic)
        text += (line.empty() || line.back() == ']' ? line : HideNames(line, report.system)) + "\n";
    return text;
}

bool WordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80 || c == '_'; }

void Replace(std::string& text, const std::string& name, const std::string& standIn)
{
    // One or two letters would hide parts of other words.
    if (name.size() < 3)
        return;
    std::string lowerText = text;
    std::string lowerName = name;
    const auto lower = [](std::string& s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(lowerText);
    lower(lowerName);
    std::string result;
    size_t from = 0;
    for (size_t at = lowerText.find(lowerName); at != std::string::npos; at = lowerText.find(lowerName, at + 1)) {
        const size_t end = at + name.size();
        if (at < from || (at > 0 && WordCharacter(text[at - 1])) || (end < text.size() && WordCharacter(text[end])))
            continue;
        result += text.substr(from, at - from) + standIn;
        from = end;
    }
    text = result + text.substr(from);
}

}  // namespace

const char* CheckWord(ReportCheck::Level level)
{
    return level == ReportCheck::kOk ? kCheckOk : level == ReportCheck::kWarning ? kCheckWarning : kCheckFailure;
}

std::vector<ReportCheck> SummaryChecks(const SupportReport& report)
{
    std::vector<ReportCheck> checks = {PortsCheck(report), AdaptersCheck(report), PrinterCheck(report),
                                       LineCheck(report), LastFailureCheck(report)};
    if (report.withTraffic && report.holdsReadingX)
        checks.push_back({ReportCheck::kWarning, kHoldsReadingXText});
    return checks;
}

std::string HideNames(const std::string& text, const SystemFacts& names)
{
    std::string hidden = text;
    Replace(hidden, names.userName, kUserStandIn);
    Replace(hidden, names.computerName, kComputerStandIn);
    return hidden;
}

std::string ReportText(const SupportReport& report, std::string& code)
{
    std::string text = FillIn(kReportMadeText, {{"date", DateText(report.when, "%d/%m/%Y %H:%M:%S")},
                                                {"program", report.program}}) +
                       "\n" +
                       FillIn(kPrivacyText, {{"user", kUserStandIn}, {"computer", kComputerStandIn}}) + "\n";
    text += Title(kSummarySection);
    for (const ReportCheck& check : SummaryChecks(report)) {
        std::string word = CheckWord(check.level);
        // The words line up: "ATENÇÃO" is seven letters wide and nine bytes long.
        const size_t width = check.level == ReportCheck::kWarning ? 7 : word.size();
        text += word + std::string(9 - width, ' ') + check.text + "\n";
    }
    text += SystemSection(report) + PortsSection(report);
    text = HideNames(text, report.system);
    // The identification stays as the printer gave it.
    std::string printer = PrinterSection(report);
    text += printer + HideNames(LineSection(report) + TrafficSection(report), report.system);
    text += TrafficLines(report);
    code = ReportCode(text);
    return FillIn(kReportFirstLine, {{"code", code}}) + "\n" + text;
}

std::string ReportCode(const std::string& body)
{
    // FNV-1a over the text without its carriage returns and its UTF-8 mark, so that the forms that
    // editors and mail give it keep its code.
    uint64_t hash = 14695981039346656037ull;
    for (const char c : body) {
        if (c == '\r')
            continue;
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    static const char kLetters[] = "ACDEFHJKMNPRTUVWXY347";
    constexpr uint64_t kCount = sizeof kLetters - 1;
    std::string code;
    for (int i = 0; i < 6; ++i, hash /= kCount)
        code += kLetters[hash % kCount];
    return code;
}

std::string ReportFileName(std::time_t when, const std::string& code)
{
    return kReportFilePrefix + DateText(when, "%Y%m%d-%H%M%S") + "-" + code + ".txt";
}
