// Windows-1252 to UTF-8, for showing the programs' and the printer's texts in a UTF-8 window or
// terminal, and the system's UTF-8 names into the programs' texts.
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

std::string Utf8ToCp1252Text(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    const std::string_view text(utf8);
    for (size_t at = 0; at < text.size();) {
        const size_t follow = Utf8Followers(static_cast<unsigned char>(text[at]));
        char byte[4];
        if (follow != kNoCp1252Form && Utf8ToCp1252(text.substr(at, follow + 1), byte) == 1) {
            out += byte[0];
            at += follow + 1;
            continue;
        }
        out += '?';
        // The rest of the character that has no form, not one mark per byte.
        for (++at; at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; ++at) {}
    }
    return out;
}
