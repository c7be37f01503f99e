// Console set-up for kestro-cli on Windows and on POSIX systems.
#include "cli/console.h"

#include <atomic>
#include <cstdio>

namespace {

std::atomic<bool> interrupted {false};

}  // namespace

void RequestInterrupt() { interrupted = true; }
bool Interrupted() { return interrupted; }

#ifdef _WIN32
#include <io.h>
#include <windows.h>

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }
bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
#else
#include <unistd.h>

void PrepareConsole() {}
bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }
#endif
