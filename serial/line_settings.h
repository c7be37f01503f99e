// Line settings read from a mode text such as "115200,n,8,1".
#pragma once

#include <optional>
#include <string>

struct LineSettings {
    long baud = 0;
    char parity = 'n';  // 'n', 'e' or 'o'
    int dataBits = 8;   // 5 to 8
    int stopBits = 1;   // 1 or 2
};

// Baud, parity, data bits, stop bits separated by commas; blanks around the fields are allowed.
// Anything else gives no settings.
std::optional<LineSettings> ParseModeText(const std::string& modeText);
