// The few console facts kestro-cli needs that differ between systems.
#pragma once

#include <cstdio>
#include <string>

// Makes the console show the UTF-8 that kestro-cli writes (Windows consoles default to an
// OEM code page); nothing to do elsewhere.
void PrepareConsole();

// Writes UTF-8 text to standard output or error, or to a file. A Windows console gets it as UTF-16,
// since the C runtime would pass its bytes through the ANSI code page; files and pipes get the bytes
// unchanged. Failures show in ferror(stream), as for fwrite.
void WriteText(std::FILE* stream, const std::string& utf8);

// True when standard error is an interactive terminal rather than a file or a pipe.
bool StderrIsTerminal();
