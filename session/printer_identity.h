// The printer's identification as read: model, NS MF and SB. Its own header so that a display
// can show it without reaching the queries that read it.
#pragma once

#include <string>

// Windows-1252 text, as the printer sent it.
struct Identification {
    std::string modelo;
    std::string nsMf;
    std::string sb;
};
