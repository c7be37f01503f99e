// The window's one turn of a text into what Qt shows: every text inside is Windows-1252, the
// printer's and the programs' own alike.
#pragma once

#include "vocab/cp1252.h"

#include <QString>

#include <string>

inline QString Shown(const std::string& cp1252) { return QString::fromStdString(Cp1252ToUtf8(cp1252)); }
