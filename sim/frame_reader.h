// Printer side of the host's byte stream: cuts SYN, ENQ and command frames out of bytes that arrive in pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An error pair as the printer sends it after NAK or DC1, or in a block header.
struct SimPair {
    uint8_t errorClass = 0;
    uint8_t detail = 0;
};

inline bool operator==(SimPair a, SimPair b) { return a.errorClass == b.errorClass && a.detail == b.detail; }

// Pairs the simulator itself reports. Class 15 is the protocol class.
inline constexpr SimPair kPairBadCheckByte {15, 1};     // check byte is not the sum of bytes 1..n+5
inline constexpr SimPair kPairWrongSequence {15, 2};    // sequence number is not the expected one
inline constexpr SimPair kPairIncompleteFrame {15, 3};  // line went quiet before length + 7 bytes came
inline constexpr SimPair kPairLengthTooLarge {15, 4};   // length field above 65,529
inline constexpr SimPair kPairNoSuchBlock {15, 5};      // ENQ for a block that does not exist (header error)
inline constexpr SimPair kPairUnknownCommand {1, 1};    // command/extension not known
inline constexpr SimPair kPairBadParameter {2, 1};      // parameters of a known command are wrong

namespace sim_bytes {
inline constexpr uint8_t kSoh = 0x01;
inline constexpr uint8_t kEnq = 0x05;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kDc1 = 0x11;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kSyn = 0x16;
inline constexpr uint8_t kGarbage = 0x41;
inline constexpr size_t kMaxParams = 65529;
}  // namespace sim_bytes

struct HostMessage {
    enum class Kind { Syn, Enq, Frame, Malformed };
    Kind kind = Kind::Syn;
    uint8_t block = 0;  // Enq: the block number asked for
    uint8_t seq = 0;    // Frame
    uint8_t cmd = 0;
    uint8_t ext = 0;
    std::string params;
    bool checkOk = false;
    SimPair fault;  // Malformed: why the frame was refused
};

class FrameReader {
public:
    void Feed(const uint8_t* bytes, size_t n);
    // The next whole message, or nothing while more bytes are needed.
    std::optional<HostMessage> Next();
    // True while an ENQ or a frame has started but not ended.
    bool Partial() const { return start < buffer.size(); }
    // The line went quiet: gives up on the partial message. A partial frame becomes Malformed,
    // a lone ENQ byte is dropped.
    std::optional<HostMessage> Expire();
    // Bytes outside any message; a printer ignores them.
    size_t Strays() const { return strays; }

private:
    void Consume(size_t n);

    std::vector<uint8_t> buffer;
    size_t start = 0;
    size_t strays = 0;
};
