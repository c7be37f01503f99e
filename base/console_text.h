// Text for a console, the same in both programs: UTF-8 written as the console shows it.
#pragma once

#include <cstdio>
#include <string>

// Writes UTF-8 text to standard output or error, or to a file. A Windows console gets it as UTF-16,
// since the C runtime would pass its bytes through the ANSI code page; files and pipes get the bytes
// unchanged. Failures show in ferror(stream), as for fwrite.
void WriteText(std::FILE* stream, const std::string& utf8);

// The window program's answer to --help or --version, on standard output; a console gets it in its
// own characters. Windows starts a window program from a prompt without standard output, and without
// waiting for it: the answer then goes to that prompt's console, below the prompt that is back
// already (kestro.com, a console program, answers before it). False when it could not be written.
bool WriteAnswer(const std::string& utf8);
