// Line settings, the printer's among them, and the mode text ("115200,n,8,1") that carries them.
#pragma once

#include <optional>
#include <string>

struct LineSettings {
    long baud = 0;
    char parity = 'n';  // 'n', 'e' or 'o'
    int dataBits = 8;   // 5 to 8
    int stopBits = 1;   // 1 or 2
};

// The printer's line: 115200 bit/s, 8 data bits, no parity, 1 stop bit.
constexpr LineSettings kPrinterLine {115200, 'n', 8, 1};

// "115200,n,8,1": what ParseModeText reads back.
std::string ModeText(const LineSettings& settings);
// Baud, parity, data bits, stop bits separated by commas; blanks around the fields are allowed.
// Anything else gives no settings.
std::optional<LineSettings> ParseModeText(const std::string& modeText);
