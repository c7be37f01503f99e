// kestro-cli's one turn of what it writes for a person into the console's UTF-8: the programs'
// and the printer's texts are Windows-1252 inside; names that the system gives (ports, adapters,
// paths) are UTF-8 already and are only made safe.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

// Every control character of the UTF-8 text (C0 with CR, LF and TAB, DEL, C1, ESC) written as
// \xNN, so that what a printer or an adapter names can neither move the cursor, retitle the
// terminal nor forge a line of output. Backslashes are doubled, so that the escapes stay
// unambiguous.
std::string TerminalSafe(const std::string& utf8);

// A text of the programs (a status text, a port's state; lines broken with CR LF) as UTF-8 with
// the console's own line end "\n" (the C library writes CR LF for it on Windows).
std::string ConsoleText(const std::string& cp1252);

// One line of the programs' words with names that the system gives (a port's, UTF-8) filled in,
// turned once into UTF-8 and made safe as a whole: a name can hold no line break or escape.
std::string ConsoleLine(const std::string& cp1252,
                        std::initializer_list<std::pair<const char*, std::string>> names);

// What a printer sent (or a line that holds it), as UTF-8 made safe for a terminal.
std::string PrinterText(const std::string& cp1252);
