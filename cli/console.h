// The few console facts kestro-cli needs that differ between systems.
#pragma once

#include "base/console_text.h"

#include <cstdio>
#include <string>

// Makes the console show the UTF-8 that kestro-cli writes (Windows consoles default to an
// OEM code page); nothing to do elsewhere.
void PrepareConsole();

// True when standard error is an interactive terminal rather than a file or a pipe.
bool StderrIsTerminal();
