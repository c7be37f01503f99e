// Windows-1252, the byte form of every text inside the programs, as the printer's error table has
// it: the code points of its bytes, the turn of a UTF-8 text into it and the turn back for display.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Code points of the bytes 0x80 to 0x9F; 0 marks the five bytes that the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D). Every other byte is its own code point.
// clang-format off
constexpr char32_t kCp1252HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
// clang-format on

// The byte of a code point, or -1 when Windows-1252 has none.
constexpr int Cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int at = 0; at < 32; ++at) {
        if (cp != 0 && kCp1252HighControls[at] == cp)
            return 0x80 + at;
    }
    return -1;
}

constexpr size_t kNoCp1252Form = static_cast<size_t>(-1);

// How many bytes follow a UTF-8 lead byte; kNoCp1252Form for a byte that leads nothing and for
// the leads of four bytes, whose characters Windows-1252 does not have.
constexpr size_t Utf8Followers(unsigned char lead)
{
    if (lead < 0x80)
        return 0;
    if (lead >= 0xC2 && lead < 0xE0)
        return 1;
    if (lead >= 0xE0 && lead < 0xF0)
        return 2;
    return kNoCp1252Form;
}

// Writes the Windows-1252 form of a UTF-8 text to out, which has room for as many bytes as the
// text, and returns its length; kNoCp1252Form when a character has no such form or the text is
// no UTF-8.
constexpr size_t Utf8ToCp1252(std::string_view utf8, char* out)
{
    size_t length = 0;
    for (size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const size_t follow = Utf8Followers(lead);
        if (follow == kNoCp1252Form || at + follow >= utf8.size())
            return kNoCp1252Form;
        char32_t cp = follow == 0 ? lead : follow == 1 ? lead & 0x1F : lead & 0x0F;
        for (size_t next = at + 1; next <= at + follow; ++next) {
            const auto byte = static_cast<unsigned char>(utf8[next]);
            if ((byte & 0xC0) != 0x80)
                return kNoCp1252Form;
            cp = (cp << 6) | (byte & 0x3F);
        }
        const int byte = Cp1252Byte(cp);
        if (byte < 0 || (follow == 2 && cp < 0x800))
            return kNoCp1252Form;
        out[length++] = static_cast<char>(byte);
        at += follow + 1;
    }
    return length;
}

// Every byte becomes one character; the five undefined bytes become U+FFFD.
std::string Cp1252ToUtf8(const std::string& text);
// The other way, for a name that the system gives in UTF-8: a character that Windows-1252 lacks,
// or a byte that is no UTF-8, becomes '?'.
std::string Utf8ToCp1252Text(const std::string& utf8);
