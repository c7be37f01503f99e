// The traffic decoder: each direction collects its message's bytes until the message is whole;
// what the host sent last tells what the printer's bytes should be, as it does for the link.
#include "link/traffic_decoder.h"

#include "link/frame_layout.h"
#include "link/traffic_format.h"
#include "vocab/error_text.h"
#include "vocab/filling.h"
#include "vocab/monitor_words.h"
#include "vocab/traffic_words.h"

#include <algorithm>

namespace {

bool StartsSent(uint8_t byte) { return byte == frame::kSyn || byte == frame::kEnq || byte == frame::kSoh; }

int Le16(const std::vector<uint8_t>& bytes, int low) { return bytes[low] + 256 * bytes[low + 1]; }

// "… 9 de 301 bytes": what the message was and how much of it came.
std::string IncompleteText(const std::string& what, size_t have, size_t need)
{
    return FillIn(kIncompleteMeaning,
                  {{"what", what}, {"have", std::to_string(have)}, {"need", std::to_string(need)}});
}

TrafficMessage Message(int64_t ms, TrafficDirection direction, std::vector<uint8_t> raw, std::string meaning)
{
    TrafficMessage message;
    message.ms = ms;
    message.direction = direction;
    message.raw = std::move(raw);
    message.meaning = std::move(meaning);
    return message;
}

// A message whose bytes, from `from` on, read as text.
TrafficMessage WithText(TrafficMessage message, size_t from, size_t to)
{
    message.textBegin = from;
    message.textEnd = to;
    return message;
}

TrafficMessage Unexpected(const TrafficRun& run, const uint8_t* from, const uint8_t* to)
{
    const size_t n = static_cast<size_t>(to - from);
    return WithText(Message(run.ms, run.direction, {from, to}, kUnexpectedMeaning), 0, n);
}

}  // namespace

void TrafficDecoder::Feed(const TrafficRun& run, std::vector<TrafficMessage>& out)
{
    if (run.length == 0)
        return;
    // A message that the other side interrupts is not coming any more: the link gave up on it.
    if (run.direction != TrafficDirection::kSent)
        FlushSent(out);
    if (run.direction != TrafficDirection::kReceived)
        FlushReceived(out);
    switch (run.direction) {
    case TrafficDirection::kSent:
    case TrafficDirection::kReceived:
        FeedWire(run, run.direction == TrafficDirection::kSent, out);
        break;
    case TrafficDirection::kNote:
        out.push_back(Message(run.ms, run.direction, {run.bytes, run.bytes + run.length},
                              PrintableText(run.bytes, run.length)));
        break;
    case TrafficDirection::kNotSent:
        // Its meaning is the trace format's own (TrafficMeaning): the replay tells a failed write by it.
        out.push_back(Message(run.ms, run.direction, {run.bytes, run.bytes + run.length}, {}));
        break;
    }
}

void TrafficDecoder::Flush(std::vector<TrafficMessage>& out)
{
    FlushSent(out);
    FlushReceived(out);
}

void TrafficDecoder::FeedWire(const TrafficRun& run, bool fromHost, std::vector<TrafficMessage>& out)
{
    Pending& pending = fromHost ? sent : received;
    const auto length = [&] { return fromHost ? SentLength(pending.bytes) : ReceivedLength(pending.bytes); };
    const uint8_t* at = run.bytes;
    const uint8_t* const end = run.bytes + run.length;
    while (at < end) {
        if (pending.bytes.empty()) {
            pending.ms = run.ms;
            const uint8_t* const stop = UnexpectedUntil(fromHost, at, end);
            if (stop != at) {
                out.push_back(Unexpected(run, at, stop));
                at = stop;
                continue;
            }
        }
        const size_t need = pending.bytes.empty() ? 1 : length();
        const size_t take = std::min(need - pending.bytes.size(), static_cast<size_t>(end - at));
        pending.bytes.insert(pending.bytes.end(), at, at + take);
        at += take;
        if (pending.bytes.size() == length())
            out.push_back(fromHost ? DecodeSent(pending) : DecodeReceived(pending));
    }
}

const uint8_t* TrafficDecoder::UnexpectedUntil(bool fromHost, const uint8_t* at, const uint8_t* end)
{
    if (fromHost)
        return StartsSent(*at) ? at : std::find_if(at + 1, end, StartsSent);
    if (ReceivedLength({*at}) != 0)
        return at;
    // The link throws away whatever follows a byte it cannot place.
    expect = Expect::kNothing;
    return end;
}

size_t TrafficDecoder::SentLength(const std::vector<uint8_t>& bytes) const
{
    if (bytes.empty())
        return 1;
    switch (bytes[0]) {
    case frame::kSyn:
        return 1;
    case frame::kEnq:
        return frame::kEnqSize;
    case frame::kSoh:
        if (bytes.size() < frame::kParams)
            return frame::kParams;
        return static_cast<size_t>(frame::kFraming + Le16(bytes, frame::kLenLow));
    default:
        return 0;
    }
}

size_t TrafficDecoder::ReceivedLength(const std::vector<uint8_t>& bytes) const
{
    const uint8_t first = bytes[0];
    switch (expect) {
    case Expect::kNothing:
        return 0;
    case Expect::kSyncAnswer:
        return first == frame::kSyn ? 2 : first == frame::kDc1 ? 3 : 0;
    case Expect::kAnswer:
        return first == frame::kAck ? 1 : first == frame::kNak || first == frame::kDc1 ? 3 : 0;
    case Expect::kBlock:
        return first == frame::kDc1 ? frame::kHeaderStart : frame::kHeaderSize;
    case Expect::kBlockData:
        return dataSize;
    }
    return 0;
}

std::string ErrorPairText(int errorClass, int errorDetail)
{
    const std::string reason = OneLine(ErrorText(errorClass, errorDetail));
    return FillIn(
        reason.empty() ? kErrorPairMeaning : kExplainedErrorMeaning,
        {{"class", std::to_string(errorClass)}, {"detail", std::to_string(errorDetail)}, {"reason", reason}});
}

TrafficMessage TrafficDecoder::DecodeSent(Pending& pending)
{
    std::vector<uint8_t> bytes = std::move(pending.bytes);
    pending.bytes.clear();
    const auto message = [&](std::string meaning) {
        return Message(pending.ms, TrafficDirection::kSent, std::move(bytes), std::move(meaning));
    };
    if (bytes[0] == frame::kSyn) {
        expect = Expect::kSyncAnswer;
        return message(kSynSentMeaning);
    }
    if (bytes[0] == frame::kEnq) {
        expect = Expect::kBlock;
        blockNumber = bytes[1];
        return message(FillIn(kEnqMeaning, {{"block", std::to_string(blockNumber + 1)}}));
    }
    expect = Expect::kAnswer;
    blockNumber = 0;
    const size_t checkAt = bytes.size() - 1;
    const uint8_t sum = frame::CheckByte(bytes.data(), checkAt);
    // The byte itself is in the hex beside it; only a wrong one needs the right value.
    const std::string check =
        bytes[checkAt] == sum
            ? kCheckByteOk
            : FillIn(kCheckByteWrong, {{"byte", HexByte(bytes[checkAt])}, {"right", HexByte(sum)}});
    const bool parameters = checkAt != frame::kParams;
    const int seq = bytes[frame::kSeq];
    std::string seqText = std::to_string(seq);
    // Only a conversation that another program holds can get it wrong; the link never does.
    if (nextSeq >= 0 && seq != nextSeq)
        seqText = FillIn(kUnexpectedSequence, {{"seq", seqText}, {"expected", std::to_string(nextSeq)}});
    nextSeq = (seq + 1) % 256;
    std::string meaning =
        FillIn(kFrameMeaning, {{"seq", seqText},
                               {"command", std::to_string(bytes[frame::kCmd])},
                               {"extension", std::to_string(bytes[frame::kExt])},
                               {"check", check},
                               {"parameters", parameters ? kWithParameters : kWithoutParameters}});
    return parameters ? WithText(message(std::move(meaning)), frame::kParams, checkAt)
                      : message(std::move(meaning));
}

TrafficMessage TrafficDecoder::DecodeReceived(Pending& pending)
{
    std::vector<uint8_t> bytes = std::move(pending.bytes);
    pending.bytes.clear();
    const auto message = [&](std::string meaning) {
        return Message(pending.ms, TrafficDirection::kReceived, std::move(bytes), std::move(meaning));
    };
    const Expect was = expect;
    expect = Expect::kNothing;
    switch (was) {
    case Expect::kSyncAnswer:
        if (bytes[0] == frame::kSyn) {
            nextSeq = bytes[1];
            return message(FillIn(kSynAnswerMeaning, {{"seq", std::to_string(bytes[1])}}));
        }
        return message(FillIn(kBusyMeaning, {{"error", ErrorPairText(bytes[1], bytes[2])}}));
    case Expect::kAnswer:
        if (bytes[0] == frame::kAck) {
            expect = Expect::kBlock;  // the response may follow unasked
            return message(kAckMeaning);
        }
        if (bytes[0] == frame::kNak)
            return message(FillIn(kNakMeaning, {{"error", ErrorPairText(bytes[1], bytes[2])}}));
        return message(FillIn(kBusyMeaning, {{"error", ErrorPairText(bytes[1], bytes[2])}}));
    case Expect::kBlock:
        if (bytes[0] == frame::kDc1) {
            expect = Expect::kBlock;  // the same block is asked for again
            const frame::BlockHeader busy = frame::ReadBlockHeader(bytes.data());
            return message(FillIn(kBlockBusyMeaning, {{"block", std::to_string(blockNumber + 1)},
                                                      {"error", ErrorPairText(busy.errorClass, busy.errorDetail)}}));
        }
        return DecodeBlockHeader(std::move(bytes));
    case Expect::kBlockData:
    case Expect::kNothing:
        break;
    }
    if (!lastBlock)
        expect = Expect::kBlock;
    const size_t length = bytes.size() - 1;
    return WithText(message(FillIn(kBlockDataMeaning, {{"block", std::to_string(blockNumber)},
                                                       {"length", std::to_string(length)},
                                                       {"last", HexByte(bytes.back())}})),
                    0, length);
}

TrafficMessage TrafficDecoder::DecodeBlockHeader(std::vector<uint8_t> bytes)
{
    ++blockNumber;
    const std::string block = std::to_string(blockNumber);
    const frame::BlockHeader header = frame::ReadBlockHeader(bytes.data());
    std::string meaning;
    if (header.errorClass != 0) {
        meaning = FillIn(kHeaderErrorMeaning,
                         {{"block", block}, {"error", ErrorPairText(header.errorClass, header.errorDetail)}});
    } else {
        lastBlock = header.last;
        dataSize = static_cast<size_t>(header.length) + 1;
        expect = Expect::kBlockData;
        meaning = FillIn(lastBlock ? kLastHeaderMeaning : kMoreHeaderMeaning,
                         {{"block", block}, {"length", std::to_string(header.length)}});
    }
    return Message(received.ms, TrafficDirection::kReceived, std::move(bytes), std::move(meaning));
}

void TrafficDecoder::FlushSent(std::vector<TrafficMessage>& out)
{
    if (sent.bytes.empty())
        return;
    const std::string meaning = IncompleteText(sent.bytes[0] == frame::kEnq ? kIncompleteEnq : kIncompleteFrame,
                                               sent.bytes.size(), SentLength(sent.bytes));
    out.push_back(Message(sent.ms, TrafficDirection::kSent, std::move(sent.bytes), meaning));
    out.back().cut = true;
    sent.bytes.clear();
}

void TrafficDecoder::FlushReceived(std::vector<TrafficMessage>& out)
{
    if (received.bytes.empty())
        return;
    const uint8_t first = received.bytes[0];
    std::string what;
    switch (expect) {
    case Expect::kBlock:
        what = first == frame::kDc1 ? kIncompleteBlockBusy
                                    : FillIn(kIncompleteHeader, {{"block", std::to_string(blockNumber + 1)}});
        break;
    case Expect::kBlockData:
        what = FillIn(kIncompleteData, {{"block", std::to_string(blockNumber)}});
        break;
    default:
        what = first == frame::kSyn   ? kIncompleteSynAnswer
               : first == frame::kNak ? kIncompleteNak
                                      : kIncompleteBusy;
        break;
    }
    const size_t have = received.bytes.size();
    const bool data = expect == Expect::kBlockData;
    const std::string meaning = IncompleteText(what, have, ReceivedLength(received.bytes));
    TrafficMessage message = Message(received.ms, TrafficDirection::kReceived, std::move(received.bytes), meaning);
    message.cut = true;
    received.bytes.clear();
    expect = Expect::kNothing;
    out.push_back(data ? WithText(std::move(message), 0, have) : std::move(message));
}
