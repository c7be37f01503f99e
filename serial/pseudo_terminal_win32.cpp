// Windows has no pseudo-terminals: a relay there needs a second port (a virtual pair's end).
#include "serial/pseudo_terminal.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

bool PseudoTerminalsAvailable() { return false; }

PseudoTerminalResult MakePseudoTerminal(const std::string& /*linkPath*/)
{
    PseudoTerminalResult result;
    result.error = ERROR_NOT_SUPPORTED;
    return result;
}
