// The search for printers on many ports at once: one session, with its own link, on its own
// thread per port (links share nothing), so that the whole search takes about one answer wait.
#pragma once

#include "session/printer_session.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PrinterFinder {
public:
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
    // Starts trying the ports ("ttyUSB0", "pts/3"); once per finder.
    void Start(const std::vector<std::string>& portNames);
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

private:
    // What one thread does: its own display, session and link on one port.
    void Try(size_t index);
    // Sleeps for `duration`, or less when the search is cancelled.
    void Sleep(std::chrono::milliseconds duration);
    void JoinAll();

    class SearchDisplay;

    LinkPacing pacing;
    std::function<TrafficObserver(const std::string& port)> makeObserver;
    std::vector<std::string> ports;
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
