// The search for printers on many ports at once: one session, with its own link, on its own
// thread per port (links share nothing), so that the whole search takes about one answer wait.
#pragma once

#include "session/printer_session.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What a search ended with: every port tried, in the order they finished, and the one picked.
struct SearchResult {
    std::vector<PortProbe> probes;
    // The first printer that identified itself; only when none did, the first that answered
    // without identifying. None when no printer answered, or when a cancel came before one
    // identified itself.
    std::optional<size_t> picked;
    bool cancelled = false;
};

// How the search is followed on the caller's thread while it runs.
struct SearchWatch {
    // Every 20 ms: lets events through, looks for a signal; may call Cancel.
    std::function<void()> tick;
    // Each port as it finishes, in that order.
    std::function<void(const PortProbe&)> finished;
};

class PrinterFinder {
public:
    // Where Search ends: when every port has finished, or once a printer is picked.
    enum class SearchEnd { kEveryPort, kPicked };
    // The links' waits come from pacing, spent in a way that Cancel can cut short.
    explicit PrinterFinder(LinkPacing pacing = {});
    // Cancels what still runs and waits for it.
    ~PrinterFinder();
    PrinterFinder(const PrinterFinder&) = delete;
    PrinterFinder& operator=(const PrinterFinder&) = delete;

    // Before Start: gives each port's link the observer made for it (the traffic of a search).
    void SetTrafficObservers(std::function<TrafficObserver(const std::string& port)> make)
    {
        makeObserver = std::move(make);
    }
    // Starts trying the ports; once per finder.
    void Start(const std::vector<PortAddress>& tried);
    // Waits at most `timeout` for the last port's answer; true when every port has answered.
    bool WaitDone(std::chrono::milliseconds timeout);
    // Cuts every wait still running short, so that the threads end within moments; what they
    // report then is of no use.
    void Cancel();
    bool Cancelled();
    // The answers of the ports that finished since the last call, in the order they finished:
    // a printer can be shown the moment it is identified.
    std::vector<PortProbe> TakeFinished();
    // The ports whose printer has answered and is still being identified.
    size_t Identifying();
    // Waits for every port, then gives their answers in the order given to Start.
    std::vector<PortProbe> Results();

    // The search as the window and kestro-cli run it, on the caller's thread: Start, then the
    // watch until the end, then every port freed. kPicked ends once a printer identified itself
    // and the others that answered have identified themselves too, or have had one answer wait
    // more, so that the choice can say who else is there; a port that stays silent is not waited
    // for. Only when no printer identifies itself does it wait for every port, to pick one that
    // answered without identifying.
    SearchResult Search(const std::vector<PortAddress>& tried, SearchEnd end, const SearchWatch& watch);

private:
    // The choice among the ports finished, as SearchResult::picked.
    static std::optional<size_t> Pick(const std::vector<PortProbe>& probes, bool cancelled);
    // What one thread does: its own display, session and link on one port.
    void Try(size_t index);
    // Sleeps for `duration`, or less when the search is cancelled.
    void Sleep(std::chrono::milliseconds duration);
    void JoinAll();

    class SearchDisplay;

    LinkPacing pacing;
    std::function<TrafficObserver(const std::string& port)> makeObserver;
    std::vector<PortAddress> ports;
    std::vector<TrafficObserver> observers;  // one per port, made before the threads start
    std::vector<PortProbe> probes;           // each written by its own thread only
    std::vector<std::thread> threads;

    std::mutex lock;
    std::condition_variable changed;
    bool cancelled = false;
    size_t finished = 0;
    size_t identifying = 0;
    std::vector<size_t> notTaken;  // finished ports not yet given by TakeFinished
};
