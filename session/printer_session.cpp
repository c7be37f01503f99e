// Connecting, disconnecting and the X reading, with their log tags.
#include "session/printer_session.h"

#include "base/log.h"

PrinterSession::PrinterSession(CycleDisplay& display, LinkPacing pacing)
    : display(display),
      pacing(std::move(pacing)),
      cycle(display)
{
}

PrinterSession::~PrinterSession() { Release(); }

PrinterSession::ConnectResult PrinterSession::Connect(const std::string& portName)
{
    AppLog("Connecting...");
    display.SetSt("");
    Release();
    AppLog("New Command");
    link = std::make_unique<EcfLink>(portName, pacing, OpenSerialPort, trafficObserver);
    cycle.SetLink(link.get());
    AppLog("New Command Ok");
    ConnectResult result = kNotOpened;
    openError = 0;
    if (!link->online()) {
        openError = link->LastError();
    } else {
        AppLog("Loading Config...");
        if (CarregaConfig(cycle, display, identification)) {
            AppLog("Running");
            return kConnected;
        }
        result = kNotIdentified;
    }
    AppLog("L Fim");
    Release();
    return result;
}

void PrinterSession::Disconnect()
{
    AppLog("Stop");
    Release();
}

bool PrinterSession::ReadingX()
{
    display.SetSt("");
    link->SetCmd(20, 0);  // the X reading
    link->AddParam(0);
    if (cycle.ExecCmd() == CommandCycle::kDone)
        return true;
    display.SetSt("Erro!");
    return false;
}

void PrinterSession::SetTrafficObserver(TrafficObserver observer)
{
    trafficObserver = std::move(observer);
    if (link)
        link->SetTrafficObserver(trafficObserver);
}

void PrinterSession::Release()
{
    cycle.SetLink(nullptr);
    link.reset();
}
