// Turns a link's traffic runs into the protocol's messages (SYN, frames, ACK, NAK, ENQ, blocks...),
// however the runs were cut, for the traffic view and kestro-cli's trace. No Qt.
#pragma once

#include "link/traffic.h"
#include "link/traffic_message.h"

#include <cstdint>
#include <string>
#include <vector>

// A printer's error pair and its text on one line: "erro 1/1: << Comando Inválido >> ...".
std::string ErrorPairText(int errorClass, int errorDetail);

class TrafficDecoder {
public:
    // Appends to `out` the messages that this run completes. Every byte fed ends up in exactly
    // one message; a message cut by the run's end waits for the next run.
    void Feed(const TrafficRun& run, std::vector<TrafficMessage>& out);
    // Hands over the messages still waiting for bytes, as incomplete ones.
    void Flush(std::vector<TrafficMessage>& out);
    // True while a message waits for more bytes.
    bool Holding() const { return !sent.bytes.empty() || !received.bytes.empty(); }

private:
    // What the printer's next bytes should be, given what the host sent last.
    enum class Expect { kNothing, kSyncAnswer, kAnswer, kBlock, kBlockData };

    struct Pending {
        std::vector<uint8_t> bytes;
        int64_t ms = 0;
    };

    // Collects the bytes of one direction's messages and decodes each when it is whole.
    void FeedWire(const TrafficRun& run, bool fromHost, std::vector<TrafficMessage>& out);
    // Where the bytes from `at` on start a message again; `at` itself when they do at once.
    const uint8_t* UnexpectedUntil(bool fromHost, const uint8_t* at, const uint8_t* end);
    // Total bytes the message that starts with `bytes` needs; 0 when its first byte starts none.
    size_t SentLength(const std::vector<uint8_t>& bytes) const;
    size_t ReceivedLength(const std::vector<uint8_t>& bytes) const;
    TrafficMessage DecodeSent(Pending& pending);
    TrafficMessage DecodeReceived(Pending& pending);
    TrafficMessage DecodeBlockHeader(std::vector<uint8_t> bytes);
    void FlushSent(std::vector<TrafficMessage>& out);
    void FlushReceived(std::vector<TrafficMessage>& out);

    Pending sent;
    Pending received;
    Expect expect = Expect::kNothing;
    int blockNumber = 0;  // of the current response, from 1
    size_t dataSize = 0;  // data and trailing byte of the block whose header came last
    bool lastBlock = false;
    // The sequence number the printer expects next, learnt from its SYN answer or the last
    // frame (a number is used up even by a refused frame); -1 until one passes.
    int nextSeq = -1;
};
