// Windows-1252 to UTF-8, for showing the programs' and the printer's texts in a UTF-8 window or
// terminal.
#include "vocab/cp1252.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

char32_t CodePoint(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char32_t mapped = kCp1252HighControls[byte - 0x80];
    return mapped != 0 ? mapped : kReplacement;
}

// Every code point here lies in the Basic Multilingual Plane, so three bytes suffice.
void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text)
        AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
    return out;
}
