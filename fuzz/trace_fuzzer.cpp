// Fuzzes the trace file's reader: any text, line by line, as a customer's file may hold it. A line
// is read, skipped or refused with a reason; a line read and written again reads back the same.
// Built with libFuzzer, ASan and UBSan.
#include "trace/trace_line.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "trace_fuzzer: %s\n", what);
    std::abort();
}

void CheckReadsBack(const std::string& text)
{
    TraceLine line;
    std::string why;
    switch (ReadTraceLine(text, line, why)) {
    case TraceRead::kSkipped:
        return;
    case TraceRead::kBad:
        if (why.empty())
            Fail("a line refused without a reason");
        return;
    case TraceRead::kLine:
        break;
    }
    if (line.meaning.find('\n') != std::string::npos)
        Fail("a meaning of more than one line");
    const std::string written =
        FormatTraceLine(line.ms, line.way, line.meaning, line.bytes.data(), line.bytes.size());
    TraceLine again;
    if (ReadTraceLine(written, again, why) != TraceRead::kLine)
        Fail("a line read and written again that does not read");
    if (again.ms != line.ms || again.way != line.way || again.bytes != line.bytes)
        Fail("a line read and written again that reads otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (size_t end = text.find('\n');; end = text.find('\n', start)) {
        CheckReadsBack(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return 0;
}
