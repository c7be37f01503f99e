// One line of a trace file: its time, its direction, what it means and its bytes. The link's
// traffic text writes these lines (adding each message's meaning) and kestro-sim --replay reads
// them back (taking the bytes); docs/trace-format.md describes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

enum class TraceWay {
    kHost,     // "→": host to printer
    kPrinter,  // "←": printer to host
    kNote,     // "·": the link's own text; no bytes
    kNotSent,  // "→" with kTraceNotSent: the host's write failed, nothing reached the line
};

// The meaning of every kNotSent line, the one text that tells it from a message that went out.
// Reading also takes the English wording that traces saved by earlier versions carry. It stays
// here, not with the other traffic texts in vocab/, since trace/ includes nothing and the replay
// must read what the link writes; UTF-8, as trace files are.
inline constexpr const char kTraceNotSent[] = "n\u00e3o enviado, a escrita falhou";

struct TraceLine {
    int64_t ms = 0;  // since the link opened
    TraceWay way = TraceWay::kNote;
    std::string meaning;  // UTF-8, one line
    std::vector<uint8_t> bytes;
};

// One byte as two hexadecimal digits: "0A".
std::string HexByte(uint8_t byte);
// Bytes in hexadecimal, blank-separated: "01 05 14".
std::string HexBytes(const uint8_t* bytes, size_t length);

// "→", "←" or "·".
const char* TraceArrow(TraceWay way);
// "    212 ms  ←  ACK: comando aceito  [06]", without a line end; a note has no brackets.
std::string FormatTraceLine(int64_t ms, TraceWay way, const std::string& meaning, const uint8_t* bytes,
                            size_t length);

// The file's first line: "# kestro-trace 1; kestro-cli v01.00.00; port pts/4; 2025-03-01 14:03:22".
std::string TraceHeader(const std::string& program, const std::string& port, std::time_t when);

// A trace's header line ("# kestro-trace 1; ..."). A file that carries other text before its
// traffic (a support report) starts the traffic with one: readers skip every line before a file's
// first header, and a file without one is read whole.
bool IsTraceHeader(const std::string& text);

enum class TraceRead {
    kLine,     // `line` holds it
    kSkipped,  // a comment ("#...") or a blank line
    kBad,      // `why` says what is wrong, without the line number
};
// Reads one line of a trace file (a line end, "\n" or "\r\n", already taken off or not).
TraceRead ReadTraceLine(const std::string& text, TraceLine& line, std::string& why);
