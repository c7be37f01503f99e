// One command's trace, display and session, set up alike for identify, lx, send and ping.
#include "cli/cli_session.h"

#include "cli/console.h"

bool CliSession::Start(ConsoleDisplay* given)
{
    if (!trace.Open(options.trace, options.traceFile, options.port.name))
        return false;
    display = given;
    if (display == nullptr) {
        // Progress dots would break the trace's lines apart, and mean nothing to a script.
        ownDisplay.emplace(stderr, StderrIsTerminal() && !trace.ToStderr() && !options.json, !options.json);
        display = &*ownDisplay;
    }
    session.emplace(*display);
    if (trace.Active())
        session->SetTrafficObserver(trace.Observer());
    return true;
}
