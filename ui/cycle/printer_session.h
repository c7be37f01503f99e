// Connecting to the printer and the X reading, as "Conectar" and "Emitir LX" do them; the
// window and kestro-cli both run these, each around its own display.
#pragma once

#include "ui/cycle/command_cycle.h"

#include <memory>
#include <string>

struct Connection {
    std::unique_ptr<EcfLink> link;  // the current link; empty when the connection failed
    bool portOpened = false;
    int openError = 0;  // the system's error code when the port did not open
};

// Opens a link on the port and identifies the printer. The link is kept only when both worked;
// otherwise it is gone again and the cycle has no link.
Connection ConnectPrinter(const std::string& portName, const LinkPacing& pacing, CommandCycle& cycle,
                          CycleDisplay& display, Identification& identification);

// The X reading on the cycle's link; "Erro!" on the status line when it fails.
bool RunReadingX(CommandCycle& cycle, CycleDisplay& display);
