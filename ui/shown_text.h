// The window's one turn of a text into what Qt shows: every text inside is Windows-1252, the
// printer's and the programs' own alike.
#pragma once

#include "vocab/cp1252.h"
#include "vocab/filling.h"

#include <QString>

#include <string>

inline QString Shown(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }

// A text with names that the system gives (a port's, a file's path), UTF-8, filled in after the
// words are turned.
inline QString Shown(const std::string& cp1252, std::initializer_list<std::pair<const char*, std::string>> names)
{
    return QString::fromStdString(FillInUtf8(cp1252, names));
}
