// Connecting, disconnecting, the X reading and any command given by hand, with their log tags;
// trying a port for a printer.
#include "session/printer_session.h"

#include "base/log.h"
#include "link/command_numbers.h"
#include "serial/port_address.h"
#include "serial/system.h"
#include "session/adapter_texts.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "vocab/error_text.h"
#include "vocab/search_words.h"
#include "vocab/status_words.h"

#include <algorithm>

namespace {

// Why a printer that answered did not identify itself, in a few words: "recusou: 8/1".
std::string NotIdentifiedReason(const CommandOutcome& ended)
{
    switch (ended.kind) {
    case CommandOutcome::kDone:
        return kEmptyAnswerReason;  // answered without the item
    case CommandOutcome::kNotOpened:
        return PortStateText(ended.openFailure);
    case CommandOutcome::kLineLost:
        return kLineLostNote;
    case CommandOutcome::kBusyGivenUp:
        return kBusyReason;
    case CommandOutcome::kNoAnswer:
        return kNoAnswerReason;
    case CommandOutcome::kInvalidAnswer:
        return kInvalidAnswerReason;
    case CommandOutcome::kRefused:
        return FillIn(kRefusedReason, {{"class", std::to_string(ended.pair.errClass)},
                                       {"detail", std::to_string(ended.pair.errDetail)}});
    case CommandOutcome::kNotSent:
        return kNotSentReason;
    case CommandOutcome::kCancelled:
        break;
    }
    return kInterruptedReason;
}

}  // namespace

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
    const CommandCycle::Sequence sequence(cycle);
    display.SetSt("");
    ConnectResult result = kNotOpened;
    if (OpenLink(portName)) {
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
    if (!link)
        return false;
    display.SetSt("");
    link->SetCmd(command::kReadingX, 0);
    link->AddParam(command::kReadingXParam);
    if (cycle.ExecCmd() == CommandCycle::kDone)
        return true;
    // "Erro!" would hide where to look: a lost line keeps its own text.
    if (!link->LineLost())
        display.SetSt(kReadingXFailedText);
    return false;
}

bool PrinterSession::Open(const std::string& portName)
{
    display.SetSt("");
    if (OpenLink(portName))
        return true;
    Release();
    return false;
}

PortProbe PrinterSession::Probe(const std::string& portName, const std::function<void()>& answered)
{
    PortProbe probe;
    probe.port = portName;
    const bool opened = Open(portName);
    // The SYN alone tells whether a printer is there: a silent port costs one answer wait,
    // not one per identification query.
    probe.ended = opened ? cycle.Sync() : cycle.Outcome();
    const CommandOutcome::Kind synced = probe.ended.kind;
    // A printer busy at the SYN is there all the same.
    if (synced == CommandOutcome::kDone || synced == CommandOutcome::kBusyGivenUp) {
        probe.outcome = PortProbe::kPrinter;
        if (answered)
            answered();
        probe.identified = synced == CommandOutcome::kDone && IdentifyForSearch(cycle, probe.identification);
        if (synced == CommandOutcome::kDone)
            probe.ended = cycle.Outcome();
        if (!probe.identified)
            probe.why = FillIn(kNotIdentifiedText, {{"reason", NotIdentifiedReason(probe.ended)}});
    } else {
        probe.outcome = opened ? PortProbe::kNoPrinter : PortProbe::kNotOpened;
        probe.why = probe.ended.text;
    }
    Release();
    return probe;
}

CommandReply PrinterSession::Run(uint8_t command, uint8_t extension, const std::vector<int32_t>& params)
{
    display.SetSt("");
    link->SetCmd(command, extension);
    for (const int32_t value : params)
        link->AddParam(value);
    CommandReply reply;
    reply.response.resize(kRunResponseSize + 1);  // and the cycle's closing zero
    reply.done = cycle.ExecCmd(reply.response.data(), reply.response.size(), &reply.length) == CommandCycle::kDone;
    reply.response.resize(reply.done ? std::min(reply.length, kRunResponseSize) : 0);
    if (reply.done)
        reply.fields = CommandCycle::LeParam(std::string(reply.response.begin(), reply.response.end()));
    return reply;
}

bool PrinterSession::ParamsFit(const std::vector<int32_t>& params)
{
    size_t length = 0;
    for (const int32_t value : params)
        length += EcfLink::ParamText(value).size();
    return length <= static_cast<size_t>(EcfLink::kMaxParamLen);
}

bool PrinterSession::OpenLink(const std::string& portName)
{
    Release();
    lastPort = portName;
    AppLog("New Command");
    link = std::make_unique<EcfLink>(ReadPortName(portName), pacing, OpenSerialPort, trafficObserver);
    cycle.SetLink(link.get());
    const bool online = link->online();
    openFailure = online ? PortStatus() : link->OpenFailure();
    adapterNote = online ? std::string() : AdapterNote(portName);
    // The traffic says why the port did not open beside the link's first note, while it is made.
    if (!online)
        link->Note(OneLine(OpenFailureSaid()));
    AppLog("New Command Ok");
    // An empty status line would tell nothing: why the port did not open, and what to do.
    if (!online)
        display.SetSt(OpenFailureSaid());
    return online;
}

std::string PrinterSession::AdapterNote(const std::string& portName) const
{
    const PortAddress address = ReadPortName(portName);
    if (address.OnServer())
        return {};
    return AdapterNoteForPort(adapterSource ? adapterSource() : ListAdapters(),
                              PortNameForDevicePath(address.path), openFailure);
}

std::string PrinterSession::OpenFailureSaid() const { return OpenFailureText(openFailure, adapterNote); }

void PrinterSession::SetTrafficObserver(TrafficObserver observer)
{
    trafficObserver = std::move(observer);
    if (link)
        link->SetTrafficObserver(trafficObserver);
}

void PrinterSession::Release()
{
    // A command whose open failed leaves why, as the connection's own open would.
    if (link && link->OpenFailure().state != PortState::kFree)
        openFailure = link->OpenFailure();
    cycle.SetLink(nullptr);
    link.reset();
}
