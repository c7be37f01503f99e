// Text from a printer or a device made safe for a terminal.
#pragma once

#include <string>

// Every control character of the UTF-8 text (C0 with CR, LF and TAB, DEL, C1, ESC) written as
// \xNN, so that what a printer or an adapter names can neither move the cursor, retitle the
// terminal nor forge a line of output. Backslashes are doubled, so that the escapes stay
// unambiguous.
std::string TerminalSafe(const std::string& utf8);
