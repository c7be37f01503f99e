// Console set-up for kestro-cli on POSIX systems: terminals take UTF-8 as it is.
#include "cli/console.h"

#include <unistd.h>

void PrepareConsole() {}
bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }
