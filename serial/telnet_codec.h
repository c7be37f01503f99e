// The telnet side of an rfc2217 port: the line's settings as com-port options at connect, 0xFF
// doubled in what goes out, and the server's commands taken out of what comes in, also when one
// arrives split across reads.
#pragma once

#include "serial/line_settings.h"

#include <cstdint>
#include <vector>

class TelnetCodec {
public:
    // The offers that open the session, and the line's settings (baud, data bits, parity, stop
    // bits, no flow control), all in one run.
    static std::vector<uint8_t> Opening(const LineSettings& settings);
    // Asks for the line's baud rate (the value 0 asks without setting): the server answers it
    // itself, whether or not the printer says anything.
    static std::vector<uint8_t> BaudQuestion();
    // The line's bytes with every 0xFF doubled.
    static std::vector<uint8_t> Escaped(const uint8_t* bytes, int n);
    // Appends the line's bytes among `n` received ones to `data`, and the answers that the server's
    // requests need to `replies`.
    void Decode(const uint8_t* bytes, int n, std::vector<uint8_t>& data, std::vector<uint8_t>& replies);

private:
    enum class State { kData, kCommand, kOption, kSub, kSubCommand };
    void Answer(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies);

    State state = State::kData;
    uint8_t verb = 0;
};
