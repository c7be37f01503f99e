// The one owner of a connection to a printer: its link and the command cycle on it. The window
// and kestro-cli both work through a session; neither holds a link.
#pragma once

#include "serial/port_address.h"
#include "serial/port_status.h"
#include "session/command_cycle.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a port said when it was tried for a printer (PrinterSession::Probe).
struct PortProbe {
    enum Outcome { kPrinter, kNotOpened, kNoPrinter };
    PortAddress port;
    Outcome outcome = kNoPrinter;
    // kPrinter: what was read; identified when all three items were. Only an identified printer
    // counts as found: one that answered the SYN alone may be anything.
    Identification identification;
    bool identified = false;
    // How the last command on the port ended: the open, the SYN or the identification query
    // that failed; kDone when the printer identified itself.
    CommandOutcome ended;
    // Why there is no printer, as the status line would say it, or why the printer did not
    // identify itself: "responde, mas não se identificou (recusou: 8/1)" (Windows-1252).
    std::string why;
};

// One command given by hand (PrinterSession::Run).
struct CommandReply {
    bool done = false;
    std::vector<uint8_t> response;    // as received, at most kRunResponseSize bytes
    size_t length = 0;                // the whole response's; more than response.size() when cut
    std::vector<std::string> fields;  // the response split into its fields (LeParam)
};

class PrinterSession {
public:
    enum ConnectResult { kConnected, kNotOpened, kNotIdentified };

    explicit PrinterSession(CycleDisplay& display, LinkPacing pacing = {});
    ~PrinterSession();
    PrinterSession(const PrinterSession&) = delete;
    PrinterSession& operator=(const PrinterSession&) = delete;

    // "Conectar": opens a link on the port and identifies the printer. The link is kept only
    // when both worked. A port that does not open says why on the status line, as Open does.
    ConnectResult Connect(const PortAddress& port);
    // "Desconectar": closes the link.
    void Disconnect();
    // The X reading; "Erro!" on the status line when it fails.
    bool ReadingX();
    // Asks the running command to stop at its next wait ("Cancelar").
    void Cancel() { cycle.RequestCancel(); }
    // Watches the traffic of the current link and of every link that later connects.
    void SetTrafficObserver(TrafficObserver observer);
    // The system's adapters, read when a device port does not open (ListAdapters when empty).
    void SetAdapterSource(std::function<std::vector<AdapterReport>()> source)
    {
        adapterSource = std::move(source);
    }

    // For a search of the ports: opens a link on the port and asks for the printer's sequence
    // number; only where a printer answered is it identified, after `answered` was called, up to
    // the first query that fails. Sends nothing else, keeps no link.
    PortProbe Probe(const PortAddress& port, const std::function<void()>& answered = {});
    // Opens a link on the port without identifying the printer, for a command given by hand.
    bool Open(const PortAddress& port);
    // Any command on the current link, through the same cycle as the X reading.
    CommandReply Run(uint8_t command, uint8_t extension, const std::vector<int32_t>& params);
    static constexpr size_t kRunResponseSize = 1 << 20;
    // The parameters fit one command frame, so that none would be left out of it.
    static bool ParamsFit(const std::vector<int32_t>& params);

    bool Connected() const { return link != nullptr; }
    // As the printer sent it (Windows-1252), from the last Connect.
    const Identification& Ident() const { return identification; }
    // Why the last Connect or Open could not open the port, or why a later command of that link
    // could not open it again: the link's record, kept after the link is let go.
    const PortStatus& OpenFailure() const { return openFailure; }
    // The same as the status line said it (Windows-1252): for the last open that failed, Connect's,
    // Open's or a later command's, with what the port's adapter tells, such as its driver's refusal
    // or where it is now.
    std::string OpenFailureSaid() const;
    int OpenError() const { return openFailure.error; }
    // The port of the last link opened, kept after it closes; empty before the first.
    const PortAddress& Port() const { return lastPort; }
    // The printer's or the link's error pair that the last command sequence ended on, if any.
    ErrorPair ShownPair() const { return cycle.ShownPair(); }
    // How the last command sequence failed (Connect, ReadingX, Open, Run), or kDone.
    const CommandOutcome& Outcome() const { return cycle.SequenceOutcome(); }
    // For a search: a printer still asking to wait then is given up (CommandCycle).
    void SetBusyDeadline(std::chrono::steady_clock::time_point deadline) { cycle.SetBusyDeadline(deadline); }

private:
    // Tests reach the cycle and the current link through it; nothing else holds the link.
    friend struct PrinterSessionTestSeam;
    // The line test runs its exchanges on the cycle and the current link.
    friend class LineChecker;

    // Creates the link on the port; false, with openFailure set and shown, when its port did not
    // open.
    bool OpenLink(const PortAddress& port);
    // What the system's adapters tell about a device port that did not open (AdapterNoteForPort).
    std::string AdapterNote(const PortAddress& port) const;
    void Release();

    CycleDisplay& display;
    const LinkPacing pacing;
    CommandCycle cycle;
    TrafficObserver trafficObserver;
    std::unique_ptr<EcfLink> link;
    Identification identification;
    PortStatus openFailure;
    std::string adapterNote;  // UTF-8, for the last open that failed: Connect's, Open's or a command's
    std::function<std::vector<AdapterReport>()> adapterSource;
    PortAddress lastPort;
};
