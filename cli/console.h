// The few console facts kestro-cli needs that differ between systems.
#pragma once

// Makes the console show the UTF-8 that kestro-cli writes (Windows consoles default to an
// OEM code page); nothing to do elsewhere.
void PrepareConsole();

// True when standard error is an interactive terminal rather than a file or a pipe.
bool StderrIsTerminal();

// Ctrl-C and the termination signals: asks the running command to stop at its next poll step.
// Safe from any thread.
void RequestInterrupt();
bool Interrupted();
