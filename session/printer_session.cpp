// Connecting, disconnecting, the X reading and any command given by hand, with their log tags;
// trying a port for a printer.
#include "session/printer_session.h"

#include "base/log.h"
#include "link/command_numbers.h"
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
    // A command's open that fails in a connected session (the adapter pulled, plugged back under
    // another number) says what its adapter tells, as "Conectar" does.
    cycle.SetOpenFailureWords([this](const PortStatus& failure) {
        openFailure = failure;
        adapterNote = AdapterNote(lastPort);
        return OpenFailureSaid();
    });
}

PrinterSession::~PrinterSession() { Release(); }

PrinterSession::ConnectResult PrinterSession::Connect(const PortAddress& port)
{
    AppLog("Connecting...");
    const CommandCycle::Sequence sequence(cycle);
    display.SetSt("");
    ConnectResult result = kNotOpened;
    if (OpenLink(port)) {
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

bool PrinterSession::Open(const PortAddress& port)
{
    // Its own sequence: a cancel left from an earlier command must not give up this open.
    const CommandCycle::Sequence sequence(cycle);
    display.SetSt("");
    if (OpenLink(port))
        return true;
    Release();
    return false;
}

PortProbe PrinterSession::Probe(const PortAddress& port, const std::function<void()>& answered)
{
    PortProbe probe;
    probe.port = port;
    const bool opened = Open(port);
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

bool PrinterSession::OpenLink(const PortAddress& port)
{
    Release();
    lastPort = port;
    // A serial server's open may take seconds: the display says so, and its events go on.
    const bool slow = port.OnServer();
    if (slow)
        display.ShowOpening(port.Where());
    // Every open of the link, the first and those of its commands, waits in the cycle's poll
    // steps, so that a cancel ends it there.
    const SerialPortOpener opener = [this](const PortAddress& address, const std::string& modeText, int queueSize,
                                           HolderCheck check) {
        return OpenPolledPort(address, modeText, queueSize, check, [this] { return cycle.Poll(); });
    };
    AppLog("New Command");
    openFailure = PortStatus();
    adapterNote.clear();
    link = std::make_unique<EcfLink>(port, pacing, opener, trafficObserver);
    if (slow)
        display.ShowOpening({});
    cycle.SetLink(link.get());
    const bool online = link->online();
    if (!online)
        openFailure = link->OpenFailure();  // a cancelled open's too
    // Why the port did not open, in the cycle's words as for any command whose open failed, with
    // what the port's adapter tells: in the traffic beside the link's first note, while it is made,
    // and on the status line, which empty would tell nothing.
    const std::string why = cycle.Outcome().text;
    if (!online)
        link->Note(OneLine(why));
    AppLog("New Command Ok");
    if (!online)
        display.SetSt(why);
    return online;
}

std::string PrinterSession::AdapterNote(const PortAddress& port) const
{
    if (port.OnServer())
        return {};
    return AdapterNoteForPort(adapterSource ? adapterSource() : ListAdapters(), PortNameForDevicePath(port.path),
                              openFailure);
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
