// A report read back: its first line, its code, the summary, and the trace lines turned into
// traffic messages with their times.
#include "session/report_reading.h"

#include "session/support_report.h"
#include "trace/trace_line.h"
#include "vocab/cp1252.h"
#include "vocab/filling.h"
#include "vocab/report_words.h"

#include <sstream>

namespace {

// The trace's meaning, UTF-8, as the decoder gives meanings (Windows-1252); a character that the
// code page lacks becomes "?".
std::string MeaningBytes(const std::string& utf8)
{
    std::string bytes(utf8.size(), '\0');
    const size_t length = Utf8ToCp1252(utf8, &bytes[0]);
    if (length != kNoCp1252Form) {
        bytes.resize(length);
        return bytes;
    }
    std::string plain;
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x80)
            plain += c;
        else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            plain += '?';
    }
    return plain;
}

TrafficDirection DirectionOf(TraceWay way)
{
    switch (way) {
    case TraceWay::kHost:
        return TrafficDirection::kSent;
    case TraceWay::kPrinter:
        return TrafficDirection::kReceived;
    case TraceWay::kNotSent:
        return TrafficDirection::kNotSent;
    case TraceWay::kNote:
        break;
    }
    return TrafficDirection::kNote;
}

}  // namespace

ReportRead ReadReport(const std::string& bytes, OpenedReport& report, std::string& why)
{
    report = {};
    std::string text = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
    const size_t firstEnd = text.find('\n');
    std::string first = text.substr(0, firstEnd);
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    const std::string codeMark = "; código ";
    const size_t codeAt = first.find(codeMark);
    if (first.rfind(kReportMark, 0) != 0 || firstEnd == std::string::npos || codeAt == std::string::npos)
        return ReportRead::kNotAReport;
    report.code = first.substr(codeAt + codeMark.size());
    if (ReportCode(text.substr(firstEnd + 1)) != report.code) {
        why = kCodeMismatchReason;
        return ReportRead::kDamaged;
    }
    std::istringstream lines(text.substr(firstEnd + 1));
    const std::string summaryTitle = std::string("== ") + kSummarySection + " ==";
    bool inSummary = false;
    bool inTraffic = false;
    size_t number = 1;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inTraffic && IsTraceHeader(line))
            inTraffic = true;
        if (inTraffic) {
            TraceLine trace;
            const TraceRead read = ReadTraceLine(line, trace, why);
            if (read == TraceRead::kBad) {
                why = "linha " + std::to_string(number) + ": " + why;
                return ReportRead::kDamaged;
            }
            if (read == TraceRead::kLine) {
                TrafficMessage message;
                message.ms = trace.ms;
                message.direction = DirectionOf(trace.way);
                message.raw = trace.bytes;
                message.meaning = MeaningBytes(trace.meaning);
                report.traffic.push_back(std::move(message));
            }
            continue;
        }
        if (line.rfind("== ", 0) == 0)
            inSummary = line == summaryTitle;
        else if (inSummary && !line.empty())
            report.summary.push_back(line);
    }
    return ReportRead::kRead;
}
