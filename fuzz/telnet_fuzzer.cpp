// Fuzzes the telnet decoder of an rfc2217 port: any bytes from the server, decoded whole, then cut
// into pieces of every size that the first byte picks, then one byte at a time. Wherever the reads
// split a command, the line's bytes and the answers must be the same; and the line's bytes, escaped
// as the client sends them, must decode to themselves with nothing to answer. Built with libFuzzer,
// ASan and UBSan.
//
// Input: a byte that sets the pieces' size (1 to 16), then what the server sends.
#include "serial/telnet_codec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "telnet_fuzzer: %s\n", what);
    std::abort();
}

struct Decoded {
    std::vector<uint8_t> data;
    std::vector<uint8_t> replies;
    bool operator==(const Decoded& other) const { return data == other.data && replies == other.replies; }
};

Decoded InPieces(const uint8_t* bytes, size_t size, size_t piece)
{
    TelnetCodec codec;
    Decoded out;
    for (size_t at = 0; at < size; at += piece)
        codec.Decode(bytes + at, static_cast<int>(std::min(piece, size - at)), out.data, out.replies);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size == 0)
        return 0;
    const size_t piece = input[0] % 16 + 1;
    const uint8_t* bytes = input + 1;
    const size_t length = size - 1;

    const Decoded whole = InPieces(bytes, length, std::max<size_t>(length, 1));
    if (whole.data.size() > length)
        Fail("more line bytes than came");
    if (!(InPieces(bytes, length, piece) == whole) || !(InPieces(bytes, length, 1) == whole))
        Fail("the reads' cuts changed what was decoded");

    const std::vector<uint8_t> escaped = TelnetCodec::Escaped(bytes, static_cast<int>(length));
    const Decoded back = InPieces(escaped.data(), escaped.size(), piece);
    if (back.data != std::vector<uint8_t>(bytes, bytes + length) || !back.replies.empty())
        Fail("the escaped line did not decode to itself");
    return 0;
}
