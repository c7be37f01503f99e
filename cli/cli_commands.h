// kestro-cli's commands beyond the window's own: the port search and a command given by hand.
// Each returns the program's exit status.
#pragma once

#include "cli/cli_options.h"

#include <string>
#include <vector>

// kestro-cli's exit statuses; a signal's is 128 + its number.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // the port did not open, no printer, the command failed
constexpr int kExitUsage = 2;   // the command line was not understood

// find: every usable port (and the device paths given) tried at once; one line per printer;
// traced with every line naming its port.
int RunFind(const CliOptions& options);

// send: opens the port, runs the one command and prints its response's fields (--raw: its
// bytes in hex); traced as identify is.
int RunSend(const CliOptions& options);

// ping: opens the port and sends the model query options.count times, one line per exchange
// and a summary; 0 when every exchange got the first answer's text.
int RunPing(const CliOptions& options);
