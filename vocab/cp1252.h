// Windows-1252 to UTF-8, for showing the printer's texts in a UTF-8 window or terminal.
#pragma once

#include <string>

// Every byte becomes one character; the five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string Cp1252ToUtf8(const std::string& text);
