// Console set-up for kestro-cli on POSIX systems: terminals take UTF-8 as it is.
#include "cli/console.h"

#include <unistd.h>

void PrepareConsole() {}
bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }
void WriteText(std::FILE* stream, const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }
