// Telnet as far as an rfc2217 port needs it (RFC 854, RFC 2217).
#include "serial/telnet_codec.h"

namespace {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;
constexpr uint8_t kBinary = 0;
constexpr uint8_t kSuppressGoAhead = 3;
constexpr uint8_t kComPort = 44;
// Com-port commands from the client; the server answers each with its number plus 100.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kNoFlowControl = 1;

// The options that this side offers and accepts: all others are refused.
bool Wanted(uint8_t option) { return option == kBinary || option == kSuppressGoAhead || option == kComPort; }

void ComPort(std::vector<uint8_t>& out, uint8_t command, std::vector<uint8_t> value)
{
    out.insert(out.end(), {kIac, kSb, kComPort, command});
    for (const uint8_t byte : value) {
        out.push_back(byte);
        if (byte == kIac)
            out.push_back(kIac);
    }
    out.insert(out.end(), {kIac, kSe});
}

uint8_t ParityCode(char parity) { return parity == 'o' ? 2 : parity == 'e' ? 3 : 1; }

}  // namespace

std::vector<uint8_t> TelnetCodec::Opening(const LineSettings& settings)
{
    // The server's own offers of these are then answered already, and need no reply.
    std::vector<uint8_t> out = {kIac, kWill, kBinary,          kIac, kDo,   kBinary, kIac, kWill, kSuppressGoAhead,
                                kIac, kDo,   kSuppressGoAhead, kIac, kWill, kComPort};
    const auto baud = static_cast<uint32_t>(settings.baud);
    ComPort(out, kSetBaudRate,
            {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16), static_cast<uint8_t>(baud >> 8),
             static_cast<uint8_t>(baud)});
    ComPort(out, kSetDataSize, {static_cast<uint8_t>(settings.dataBits)});
    ComPort(out, kSetParity, {ParityCode(settings.parity)});
    ComPort(out, kSetStopSize, {static_cast<uint8_t>(settings.stopBits)});
    ComPort(out, kSetControl, {kNoFlowControl});
    return out;
}

std::vector<uint8_t> TelnetCodec::BaudQuestion()
{
    std::vector<uint8_t> out;
    ComPort(out, kSetBaudRate, {0, 0, 0, 0});
    return out;
}

std::vector<uint8_t> TelnetCodec::Escaped(const uint8_t* bytes, int n)
{
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(n) + 8);
    for (int i = 0; i < n; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == kIac)
            out.push_back(kIac);
    }
    return out;
}

void TelnetCodec::Answer(uint8_t request, uint8_t option, std::vector<uint8_t>& replies)
{
    // Offers of the wanted options were made first; only a refusal is owed, and never a reply
    // to a refusal, so that the two sides cannot loop.
    if (Wanted(option) || request == kWont || request == kDont)
        return;
    replies.insert(replies.end(), {kIac, request == kWill ? kDont : kWont, option});
}

void TelnetCodec::Decode(const uint8_t* bytes, int n, std::vector<uint8_t>& data, std::vector<uint8_t>& replies)
{
    for (int i = 0; i < n; ++i) {
        const uint8_t byte = bytes[i];
        switch (state) {
        case State::kData:
            if (byte == kIac)
                state = State::kCommand;
            else
                data.push_back(byte);
            break;
        case State::kCommand:
            if (byte == kIac) {
                data.push_back(kIac);  // a doubled 0xFF is one of the line's bytes
                state = State::kData;
            } else if (byte == kSb) {
                state = State::kSub;
            } else if (byte >= kWill) {
                verb = byte;
                state = State::kOption;
            } else {
                state = State::kData;  // a command without an option: nothing for the line
            }
            break;
        case State::kOption:
            Answer(verb, byte, replies);
            state = State::kData;
            break;
        case State::kSub:
            // The server's answers to the settings, and its notices: the line needs none of them.
            if (byte == kIac)
                state = State::kSubCommand;
            break;
        case State::kSubCommand:
            state = byte == kSe ? State::kData : State::kSub;
            break;
        }
    }
}
