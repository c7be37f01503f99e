// The set-up that every kestro-cli command on one port shares: the trace asked for, the console
// display and the printer session whose traffic the trace shows.
#pragma once

#include "cli/cli_options.h"
#include "cli/console_display.h"
#include "cli/trace_output.h"
#include "session/printer_session.h"

#include <optional>

class CliSession {
public:
    explicit CliSession(const CliOptions& options) : options(options) {}
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the trace, then makes the session on the given display, or on the console's own:
    // progress dots only on a terminal that no trace and no JSON share, result lines only
    // without JSON. False, with the reason on standard error, when the trace cannot be opened.
    bool Start(ConsoleDisplay* display = nullptr);
    ConsoleDisplay& Display() { return *display; }
    PrinterSession& Session() { return *session; }

private:
    const CliOptions& options;
    TraceOutput trace;
    std::optional<ConsoleDisplay> ownDisplay;
    ConsoleDisplay* display = nullptr;
    std::optional<PrinterSession> session;
};
