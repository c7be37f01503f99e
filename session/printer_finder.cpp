// The port search: a thread per port, each with a display that shows nothing and a wait that a
// cancel cuts short.
#include "session/printer_finder.h"

// The cycle's display during a search: nothing to show, but the cycle's pauses are kept (as on
// the console), cut short by a cancelled search. The search's cancel is the cycle's too, so that
// it also ends a serial server's open at its next step.
class PrinterFinder::SearchDisplay : public CycleDisplay {
public:
    explicit SearchDisplay(PrinterFinder& finder) : finder(finder) {}

    void ShowCmd(int /*code*/) override {}
    void ShowCmd(int /*code*/, bool /*cancelVisible*/) override {}
    void Wait(std::chrono::milliseconds duration) override { finder.Sleep(duration); }
    bool CancelRequested() override { return finder.Cancelled(); }
    void SetSt(const std::string& /*text*/) override {}
    void ShowIdentification(const Identification& /*identification*/) override {}

private:
    PrinterFinder& finder;
};

PrinterFinder::PrinterFinder(LinkPacing pacing) : pacing(std::move(pacing))
{
    this->pacing.wait = [this](std::chrono::milliseconds step) { Sleep(step); };
}

PrinterFinder::~PrinterFinder()
{
    Cancel();
    JoinAll();
}

void PrinterFinder::Start(const std::vector<PortAddress>& tried)
{
    ports = tried;
    probes.assign(ports.size(), PortProbe());
    // Made here, on the caller's thread: the threads only use them.
    observers.clear();
    for (const PortAddress& port : ports)
        observers.push_back(makeObserver ? makeObserver(port.name) : TrafficObserver());
    for (size_t i = 0; i < ports.size(); ++i)
        threads.emplace_back(&PrinterFinder::Try, this, i);
}

void PrinterFinder::Try(size_t index)
{
    SearchDisplay display(*this);
    PrinterSession session(display, pacing);
    // A printer that stays busy is given up once one answer wait has passed.
    session.SetBusyDeadline(std::chrono::steady_clock::now() + pacing.AnswerWait());
    if (observers[index])
        session.SetTrafficObserver(observers[index]);
    probes[index] = session.Probe(ports[index], [this] {
        std::lock_guard<std::mutex> hold(lock);
        ++identifying;
    });
    {
        std::lock_guard<std::mutex> hold(lock);
        if (probes[index].outcome == PortProbe::kPrinter)
            --identifying;
        ++finished;
        notTaken.push_back(index);
    }
    changed.notify_all();
}

bool PrinterFinder::WaitDone(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, timeout, [this] { return finished == ports.size(); });
}

void PrinterFinder::Cancel()
{
    {
        std::lock_guard<std::mutex> hold(lock);
        cancelled = true;
    }
    changed.notify_all();
}

std::vector<PortProbe> PrinterFinder::TakeFinished()
{
    std::lock_guard<std::mutex> hold(lock);
    std::vector<PortProbe> taken;
    for (const size_t index : notTaken)
        taken.push_back(probes[index]);
    notTaken.clear();
    return taken;
}

size_t PrinterFinder::Identifying()
{
    std::lock_guard<std::mutex> hold(lock);
    return identifying;
}

std::vector<PortProbe> PrinterFinder::Results()
{
    JoinAll();
    return probes;
}

void PrinterFinder::Sleep(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> hold(lock);
    changed.wait_for(hold, duration, [this] { return cancelled; });
}

bool PrinterFinder::Cancelled()
{
    std::lock_guard<std::mutex> hold(lock);
    return cancelled;
}

void PrinterFinder::JoinAll()
{
    for (std::thread& thread : threads) {
        if (thread.joinable())
            thread.join();
    }
}

std::optional<size_t> PrinterFinder::Pick(const std::vector<PortProbe>& probes, bool cancelled)
{
    std::optional<size_t> answered;
    for (size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].outcome != PortProbe::kPrinter)
            continue;
        if (probes[i].identified)
            return i;
        if (!answered)
            answered = i;
    }
    // A cancelled search has not heard every port: one that answered only may not be the best.
    return cancelled ? std::nullopt : answered;
}

SearchResult PrinterFinder::Search(const std::vector<PortAddress>& tried, SearchEnd end, const SearchWatch& watch)
{
    SearchResult result;
    std::optional<std::chrono::steady_clock::time_point> othersUntil;
    const auto take = [&] {
        for (const PortProbe& probe : TakeFinished()) {
            result.probes.push_back(probe);
            if (watch.finished)
                watch.finished(probe);
            if (!othersUntil && probe.identified)
                othersUntil = std::chrono::steady_clock::now() + pacing.AnswerWait();
        }
    };
    Start(tried);
    for (bool done = false; !done;) {
        done = WaitDone(std::chrono::milliseconds(20));
        if (watch.tick)
            watch.tick();
        take();
        if (end == SearchEnd::kPicked && othersUntil &&
            (Identifying() == 0 || Cancelled() || std::chrono::steady_clock::now() >= *othersUntil))
            break;
    }
    result.cancelled = Cancelled();
    // What still runs is cut short: its waits end at once, as if nothing had come.
    Cancel();
    JoinAll();
    take();
    result.picked = Pick(result.probes, result.cancelled);
    return result;
}
