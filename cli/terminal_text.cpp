// Escaping of control characters and the turn into UTF-8 of kestro-cli's output.
#include "cli/terminal_text.h"

#include "vocab/cp1252.h"
#include "vocab/filling.h"

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

std::string ConsoleText(const std::string& cp1252)
{
    std::string text = Cp1252ToUtf8(cp1252);
    for (size_t cr = text.find("\r\n"); cr != std::string::npos; cr = text.find("\r\n", cr))
        text.erase(cr, 1);
    return text;
}

std::string ConsoleLine(const std::string& cp1252,
                        std::initializer_list<std::pair<const char*, std::string>> names)
{
    return TerminalSafe(FillInUtf8(cp1252, names));
}

std::string PrinterText(const std::string& cp1252) { return TerminalSafe(Cp1252ToUtf8(cp1252)); }
