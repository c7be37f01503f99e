// Connecting and the X reading, with their log tags.
#include "ui/cycle/printer_session.h"

#include "app/log.h"

Connection ConnectPrinter(const std::string& portName, const LinkPacing& pacing, CommandCycle& cycle,
                          CycleDisplay& display, Identification& identification)
{
    Connection connection;
    AppLog("New Command");
    connection.link = std::make_unique<EcfLink>(portName, pacing);
    cycle.SetLink(connection.link.get());
    AppLog("New Command Ok");
    connection.portOpened = connection.link->online();
    if (connection.portOpened) {
        AppLog("Loading Config...");
        if (CarregaConfig(cycle, display, identification)) {
            AppLog("Running");
            return connection;
        }
    } else {
        connection.openError = connection.link->LastError();
    }
    AppLog("L Fim");
    cycle.SetLink(nullptr);
    connection.link.reset();
    return connection;
}

bool RunReadingX(CommandCycle& cycle, CycleDisplay& display)
{
    display.SetSt("");
    EcfLink& link = *cycle.Link();
    link.SetCmd(20, 0);  // the X reading
    link.AddParam(0);
    if (cycle.ExecCmd() == CommandCycle::kDone)
        return true;
    display.SetSt("Erro!");
    return false;
}
