// The commands the simulated printer carries out, and the response data each one returns.
#pragma once

#include "sim/frame_reader.h"

#include <cstdint>
#include <string>

struct SimIdentity {
    std::string model = "KS-2000 SIM";
    std::string ns = "KS010000000000000042";  // serial number of the fiscal memory
    std::string sb = "010203";                // basic-software version, six digits
};

struct SimOutcome {
    bool accepted = false;
    SimPair refusal;   // the NAK pair when not accepted
    std::string data;  // the whole response when accepted
};

// 26/0 "15|item|" answers item 2 (model), 4 (NS) or 14 (SB) as "value|"; 20/0 "0|" is an X reading
// with an empty response. Anything else is refused.
SimOutcome RunCommand(uint8_t cmd, uint8_t ext, const std::string& params, const SimIdentity& identity);
