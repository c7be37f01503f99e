// Incremental cutting of the host's bytes into messages; nothing here knows about time or sockets.
#include "sim/frame_reader.h"

using namespace sim_bytes;

void FrameReader::Feed(const uint8_t* bytes, size_t n)
{
    // Drop what earlier messages used before growing, so a long session does not keep its history.
    if (start > 0) {
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
        start = 0;
    }
    buffer.insert(buffer.end(), bytes, bytes + n);
}

void FrameReader::Consume(size_t n)
{
    start += n;
    if (start >= buffer.size()) {
        buffer.clear();
        start = 0;
    }
}

std::optional<HostMessage> FrameReader::Next()
{
    while (start < buffer.size()) {
        const uint8_t* p = buffer.data() + start;
        const size_t have = buffer.size() - start;
        HostMessage m;
        switch (p[0]) {
        case kSyn:
            Consume(1);
            m.kind = HostMessage::Kind::Syn;
            return m;
        case kEnq:
            if (have < 2)
                return std::nullopt;
            m.kind = HostMessage::Kind::Enq;
            m.block = p[1];
            Consume(2);
            return m;
        case kSoh: {
            if (have < 6)
                return std::nullopt;
            const size_t n = p[4] | (static_cast<size_t>(p[5]) << 8);
            if (n > kMaxParams) {
                // Waiting for that many bytes would hang the line; the rest arrives as strays.
                Consume(6);
                m.kind = HostMessage::Kind::Malformed;
                m.fault = kPairLengthTooLarge;
                return m;
            }
            if (have < n + 7)
                return std::nullopt;
            // Its own sum, not the link's: the simulator is an independent peer, so a fault in
            // the link's check byte shows as a refused frame instead of agreeing with itself.
            uint8_t sum = 0;
            for (size_t i = 1; i < n + 6; ++i)
                sum = static_cast<uint8_t>(sum + p[i]);
            m.kind = HostMessage::Kind::Frame;
            m.seq = p[1];
            m.cmd = p[2];
            m.ext = p[3];
            m.params.assign(reinterpret_cast<const char*>(p + 6), n);
            m.checkOk = sum == p[n + 6];
            Consume(n + 7);
            return m;
        }
        default:
            ++strays;
            Consume(1);
            break;
        }
    }
    return std::nullopt;
}

std::optional<HostMessage> FrameReader::Expire()
{
    if (!Partial())
        return std::nullopt;
    const bool frame = buffer[start] == kSoh;
    buffer.clear();
    start = 0;
    if (!frame)
        return std::nullopt;
    HostMessage m;
    m.kind = HostMessage::Kind::Malformed;
    m.fault = kPairIncompleteFrame;
    return m;
}
