// The named ways in which tests reach what the product keeps to itself.
#pragma once

#include "session/printer_session.h"

struct EcfLinkTestSeam {
    static void CmdLog(EcfLink& link, const uint8_t* bytes, int length) { link.CmdLog(bytes, length); }
};

// The session's cycle and its current link (none while disconnected), for tests that run their
// own commands on the connection.
struct PrinterSessionTestSeam {
    static CommandCycle& Cycle(PrinterSession& session) { return session.cycle; }
    static EcfLink* Link(const PrinterSession& session) { return session.link.get(); }
};
