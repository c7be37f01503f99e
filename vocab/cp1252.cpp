// Windows-1252 to UTF-8: Latin-1 above 0xA0, its own typographic characters in 0x80-0x9F.
#include "vocab/cp1252.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code points of the bytes 0x80 to 0x9F; 0 marks a byte the code page leaves undefined.
// clang-format off
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

char32_t CodePoint(unsigned char byte)
{
    if (byte < 0x80 || byte >= 0xA0) {
        return byte;
    }
    const char32_t mapped = kHighControls[byte - 0x80];
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
    for (const char c : text) {
        AppendUtf8(out, CodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}
