// Console set-up for kestro-cli on Windows: the console shows UTF-8 (base/console_text.h writes it).
#include "cli/console.h"

#include <io.h>
#include <windows.h>

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }
bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
