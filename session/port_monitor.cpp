// The monitor: both ports, the relay and the decoding of what passes, with a clock that tells
// what did not come.
#include "session/port_monitor.h"

#include "base/local_time.h"
#include "serial/pseudo_terminal.h"
#include "session/port_texts.h"
#include "vocab/error_reason.h"
#include "vocab/filling.h"
#include "vocab/monitor_words.h"
#include "vocab/traffic_notes.h"

namespace {

constexpr char kLineMode[] = "115200,n,8,1";
constexpr int kQueueSize = 4096;
// The clock's step, as the link's poll: a missing answer is noted within it.
constexpr std::chrono::milliseconds kTick {50};
// A program that closes its port between two commands (as this one's link does) is still there:
// only a port closed this long is noted, as a program that ended or restarts.
constexpr int64_t kAwayNotedMs = 1000;

// Opens as every port is opened: exclusively, with the holder looked for and named.
PortOpenResult OpenPort(const PortAddress& port)
{
    return OpenSerialPort(port, kLineMode, kQueueSize, HolderCheck::kLook);
}

}  // namespace

PortMonitor::PortMonitor(Listener listener) : listener(std::move(listener)) {}

PortMonitor::~PortMonitor() { Stop(); }

bool PortMonitor::Start(const Setup& setup)
{
    printerName = setup.printerPort.name;
    PortOpenResult opened = OpenPort(setup.printerPort);
    if (!opened.port) {
        failure = OpenFailureText(opened.failure);
        return false;
    }
    printer = std::move(opened.port);
    if (!OpenOther(setup)) {
        printer.reset();
        return false;
    }
    started = std::chrono::steady_clock::now();
    std::tm now {};
    const std::string ports = printerName + " e " + otherName;
    Note(0, LocalTimeOf(std::time(nullptr), now) ? ConnectionNote(kMonitoringNote, ports, now)
                                                 : kMonitoringNote + (" " + ports));
    Deliver();
    relay =
        std::make_unique<PortRelay>(*printer, *other, [this](const PortRelay::Event& event) { OnRelay(event); });
    relay->Start();
    decoding = std::thread([this] { DecodeLoop(); });
    return true;
}

bool PortMonitor::OpenOther(const Setup& setup)
{
    if (!setup.relayPort.name.empty()) {
        otherName = setup.relayPort.name;
        PortOpenResult opened = OpenPort(setup.relayPort);
        if (!opened.port) {
            failure = kRelayPortPrefix + std::string(": ") + OpenFailureText(opened.failure);
            return false;
        }
        other = std::move(opened.port);
        return true;
    }
    PseudoTerminalResult made = MakePseudoTerminal(setup.linkPath);
    if (!made.port) {
        const std::string reason = ErrorReason(made.error);
        failure = made.linkFailed ? FillIn(kLinkNotMadeText, {{"path", setup.linkPath}, {"reason", reason}})
                                  : FillIn(kPtyNotMadeText, {{"reason", reason}});
        return false;
    }
    otherName = made.path;
    other = std::move(made.port);
    return true;
}

void PortMonitor::Stop()
{
    if (relay)
        relay->Stop();
    {
        const std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    changed.notify_all();
    if (decoding.joinable())
        decoding.join();
    watch.Flush(pending);
    Deliver();
    relay.reset();
    other.reset();
    printer.reset();
}

bool PortMonitor::WaitEnded(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, wait, [this] { return !lostText.empty(); });
}

std::string PortMonitor::EndText() const
{
    const std::lock_guard<std::mutex> hold(lock);
    return lostText;
}

int64_t PortMonitor::Now() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
        .count();
}

void PortMonitor::OnRelay(const PortRelay::Event& event)
{
    Queued copy {event.kind, event.from, Now(), {event.bytes, event.bytes + event.length}};
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [this] { return queuedBytes < kMaxQueuedBytes || stopping; });
    queuedBytes += copy.bytes.size();
    queue.push_back(std::move(copy));
    hold.unlock();
    changed.notify_all();
}

void PortMonitor::DecodeLoop()
{
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        changed.wait_for(hold, kTick, [this] { return !queue.empty() || stopping; });
        std::deque<Queued> taken;
        taken.swap(queue);
        queuedBytes = 0;
        const bool last = stopping;
        hold.unlock();
        changed.notify_all();  // room for the relay
        for (const Queued& event : taken)
            Take(event);
        const int64_t now = Now();
        watch.Tick(now, pending);
        NoteAwayOnce(now);
        Deliver();
        hold.lock();
        if (last && queue.empty())
            return;
    }
}

void PortMonitor::Take(const Queued& event)
{
    using Kind = PortRelay::Event::Kind;
    const bool fromPrinter = event.from == PortRelay::Side::kPrinter;
    switch (event.kind) {
    case Kind::kBytes: {
        const TrafficDirection direction = fromPrinter ? TrafficDirection::kReceived : TrafficDirection::kSent;
        watch.Feed({direction, event.ms, event.bytes.data(), event.bytes.size()}, pending);
        return;
    }
    case Kind::kAway:
        awaySince = event.ms;
        return;
    case Kind::kBack:
        awaySince = -1;
        if (awayNoted)
            Note(event.ms, FillIn(kOtherOpenedNote, {{"other", otherName}}));
        awayNoted = false;
        return;
    case Kind::kLost:
        break;
    }
    const std::string side = fromPrinter ? FillIn(kPrinterSideLost, {{"port", printerName}})
                                         : FillIn(kOtherSideLost, {{"port", otherName}});
    Note(event.ms, side);
    Deliver();
    {
        const std::lock_guard<std::mutex> hold(lock);
        lostText = FillIn(kRelayEndedText, {{"side", side}});
    }
    changed.notify_all();
}

void PortMonitor::NoteAwayOnce(int64_t now)
{
    if (awaySince < 0 || awayNoted || now - awaySince < kAwayNotedMs)
        return;
    awayNoted = true;
    Note(awaySince, FillIn(kOtherClosedNote, {{"other", otherName}}));
}

void PortMonitor::Note(int64_t ms, const std::string& text)
{
    watch.Feed({TrafficDirection::kNote, ms, reinterpret_cast<const uint8_t*>(text.data()), text.size()}, pending);
}

void PortMonitor::Deliver()
{
    if (pending.empty())
        return;
    listener(pending);
    pending.clear();
}
