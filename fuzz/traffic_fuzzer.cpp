// Fuzzes the traffic decoder and its text form: runs of any bytes, in any direction, cut
// anywhere. Every byte fed must come out in exactly one message, in order, and every line must
// stay one line of printable text. Built with libFuzzer, ASan and UBSan.
//
// Input: runs, each a direction byte (its low two bits), a length byte and that many bytes.
#include "link/traffic_decoder.h"
#include "link/traffic_format.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "traffic_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TrafficDecoder decoder;
    std::vector<TrafficMessage> out;
    // By direction: sent, received, note, not sent.
    std::array<std::vector<uint8_t>, 4> fed;
    int64_t ms = 0;
    for (size_t at = 0; at + 2 <= size;) {
        const auto direction = static_cast<TrafficDirection>(data[at] & 3);
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        const uint8_t* bytes = data + at + 2;
        decoder.Feed({direction, ms++, bytes, length}, out);
        fed[data[at] & 3].insert(fed[data[at] & 3].end(), bytes, bytes + length);
        at += 2 + length;
    }
    decoder.Flush(out);

    std::array<std::vector<uint8_t>, 4> got;
    for (const TrafficMessage& message : out) {
        if (message.raw.empty())
            Fail("a message without bytes");
        if (message.textBegin > message.textEnd || message.textEnd > message.raw.size())
            Fail("a text range outside the message");
        std::vector<uint8_t>& bytes = got[static_cast<size_t>(message.direction)];
        bytes.insert(bytes.end(), message.raw.begin(), message.raw.end());
        for (const std::string& line :
             {TrafficLine(message), TrafficMeaning(message, 7), TrafficHex(message, 3)}) {
            for (const char c : line) {
                if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F)
                    Fail("a control byte in a line");
            }
        }
    }
    if (got != fed)
        Fail("the bytes fed and the bytes in the messages differ");
    return 0;
}
