// Writing and reading a trace line.
#include "trace/trace_line.h"

#include <cstdio>
#include <cstring>

namespace {

const char kTo[] = "\xE2\x86\x92";
const char kFrom[] = "\xE2\x86\x90";
const char kDot[] = "\xC2\xB7";
const char kTimeEnd[] = " ms  ";
const char kBytesStart[] = "  [";
// kTraceNotSent as traces saved before the meanings were Portuguese have it.
const char kNotSentInEnglish[] = "not sent, the write failed";

bool StartsWith(const std::string& text, size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "01 05 14" into bytes; false on anything else, an empty list included.
bool ReadHex(const std::string& hex, std::vector<uint8_t>& bytes)
{
    if ((hex.size() + 1) % 3 != 0)
        return false;
    for (size_t at = 0; at < hex.size(); at += 3) {
        const int high = HexDigit(hex[at]);
        const int low = HexDigit(hex[at + 1]);
        if (high < 0 || low < 0 || (at + 2 < hex.size() && hex[at + 2] != ' '))
            return false;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

}  // namespace

std::string HexByte(uint8_t byte)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0xF]};
}

std::string HexBytes(const uint8_t* bytes, size_t length)
{
    std::string hex;
    hex.reserve(length * 3 + 24);
    for (size_t i = 0; i < length; ++i) {
        if (i > 0)
            hex += ' ';
        hex += HexByte(bytes[i]);
    }
    return hex;
}

const char* TraceArrow(TraceWay way)
{
    switch (way) {
    case TraceWay::kHost:
    case TraceWay::kNotSent:
        return kTo;
    case TraceWay::kPrinter:
        return kFrom;
    case TraceWay::kNote:
        break;
    }
    return kDot;
}

std::string FormatTraceLine(int64_t ms, TraceWay way, const std::string& meaning, const uint8_t* bytes,
                            size_t length)
{
    char time[32];
    std::snprintf(time, sizeof time, "%7lld", static_cast<long long>(ms));
    std::string line = time + std::string(kTimeEnd) + TraceArrow(way) + "  " + meaning;
    return way == TraceWay::kNote ? line : line + kBytesStart + HexBytes(bytes, length) + "]";
}

std::string TraceHeader(const std::string& program, const std::string& port, std::time_t when)
{
    char date[32] = "";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", local);
    return "# kestro-trace 1; " + program + "; port " + (port.empty() ? "-" : port) + "; " + date;
}

bool IsTraceHeader(const std::string& text) { return text.rfind("# kestro-trace ", 0) == 0; }

TraceRead ReadTraceLine(const std::string& text, TraceLine& line, std::string& why)
{
    std::string rest = text;
    if (!rest.empty() && rest.back() == '\n')
        rest.pop_back();
    if (!rest.empty() && rest.back() == '\r')
        rest.pop_back();
    if (rest.find_first_not_of(" \t") == std::string::npos || rest[0] == '#')
        return TraceRead::kSkipped;

    size_t at = rest.find_first_not_of(' ');
    const size_t digits = rest.find_first_not_of("0123456789", at);
    if (digits == at || digits - at > 18 || !StartsWith(rest, digits, kTimeEnd)) {
        why = "esperado o tempo no in\u00edcio, como em \"    212 ms  \"";
        return TraceRead::kBad;
    }
    line = TraceLine {};
    line.ms = std::stoll(rest.substr(at, digits - at));
    at = digits + std::strlen(kTimeEnd);
    for (const char* arrow : {kTo, kFrom, kDot}) {
        if (StartsWith(rest, at, arrow) && StartsWith(rest, at + std::strlen(arrow), "  ")) {
            line.way = arrow == kTo ? TraceWay::kHost : arrow == kFrom ? TraceWay::kPrinter : TraceWay::kNote;
            at += std::strlen(arrow) + 2;
            break;
        }
    }
    if (at == digits + std::strlen(kTimeEnd)) {
        why = "esperado \xE2\x86\x92, \xE2\x86\x90 ou \xC2\xB7 depois do tempo";
        return TraceRead::kBad;
    }
    if (line.way == TraceWay::kNote) {
        line.meaning = rest.substr(at);
        return TraceRead::kLine;
    }
    // The meaning may quote a message's text, brackets included; the bytes are the last thing.
    const size_t bytesAt = rest.rfind(kBytesStart);
    if (rest.back() != ']' || bytesAt == std::string::npos || bytesAt < at ||
        !ReadHex(rest.substr(bytesAt + 3, rest.size() - bytesAt - 4), line.bytes)) {
        why = "esperados os bytes da mensagem no fim, como em \"  [05 00]\"";
        return TraceRead::kBad;
    }
    line.meaning = rest.substr(at, bytesAt - at);
    if (line.way == TraceWay::kHost && (line.meaning == kTraceNotSent || line.meaning == kNotSentInEnglish))
        line.way = TraceWay::kNotSent;
    return TraceRead::kLine;
}
