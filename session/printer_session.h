// The one owner of a connection to a printer: its link and the command cycle on it. The window
// and kestro-cli both work through a session; neither holds a link.
#pragma once

#include "session/command_cycle.h"

#include <memory>
#include <string>

class PrinterSession {
public:
    enum ConnectResult { kConnected, kNotOpened, kNotIdentified };

    explicit PrinterSession(CycleDisplay& display, LinkPacing pacing = {});
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    // "Conectar": opens a link on the port and identifies the printer. The link is kept only
    // when both worked.
    ConnectResult Connect(const std::string& portName);
    // "Desconectar": closes the link.
    void Disconnect();
    // The X reading; "Erro!" on the status line when it fails.
    bool ReadingX();
    // Asks the running command to stop at its next wait ("Cancelar").
    void Cancel() { cycle.RequestCancel(); }
    // Watches the traffic of the current link and of every link that later connects.
    void SetTrafficObserver(TrafficObserver observer);

    bool Connected() const { return link != nullptr; }
    // As the printer sent it (Windows-1252), from the last Connect.
    const Identification& Ident() const { return identification; }
    // The system's error code when the last Connect could not open the port.
    int OpenError() const { return openError; }
    // The cycle and the current link (none while disconnected), for tools and tests that run
    // their own commands on the connection.
    CommandCycle& Cycle() { return cycle; }
    EcfLink* Link() const { return link.get(); }

private:
    void Release();

    CycleDisplay& display;
    const LinkPacing pacing;
    CommandCycle cycle;
    TrafficObserver trafficObserver;
    std::unique_ptr<EcfLink> link;
    Identification identification;
    int openError = 0;
};
