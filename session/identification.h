// The printer's identification as read when connecting, and how its version is shown.
#pragma once

#include <string>

// Windows-1252 text, as the printer sent it.
struct Identification {
    std::string modelo;
    std::string nsMf;
    std::string sb;
};

// The basic-software version as the header shows it: "010203" reads 01.02.03; missing
// characters are left out, the dots stay; an empty version shows nothing.
std::string FormatSb(const std::string& sb);
