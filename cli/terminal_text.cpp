// Escaping of control characters for kestro-cli's output.
#include "cli/terminal_text.h"

#include <cstdio>

namespace {

std::string Escaped(unsigned code)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", code);
    return text;
}

}  // namespace

std::string TerminalSafe(const std::string& utf8)
{
    std::string safe;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (byte < 0x20 || byte == 0x7F) {
            safe += Escaped(byte);
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            safe += Escaped(next);  // U+0080 to U+009F, the C1 controls
            ++i;
        } else if (byte == '\\') {
            safe += "\\\\";
        } else {
            safe += static_cast<char>(byte);
        }
    }
    return safe;
}
