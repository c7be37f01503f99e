// Ctrl-C and the termination signals, turned into a cancel: the first asks the program to end
// its command and close its port, a second ends it at once. One implementation per system.
#pragma once

#include <functional>
#include <memory>

// The exit status of a program that a signal ended: 128 + its number, as shells report it.
constexpr int SignalExitStatus(int number) { return 128 + number; }

class InterruptWatch {
public:
    // Watches SIGINT, SIGTERM and SIGHUP (Ctrl-C, Ctrl-Break and a closing console on
    // Windows) from a thread of its own. The first runs onFirst there; a second runs
    // beforeExit and exits at once with 128 + its number. Make it before any other thread, so
    // that every thread leaves the signals to it.
    InterruptWatch(std::function<void()> onFirst, std::function<void()> beforeExit);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The first signal's number; 0 while none came.
    int Signal() const;
    // The program's exit status: the signal's when one came, otherwise the given one.
    int ExitStatus(int status) const { return Signal() != 0 ? SignalExitStatus(Signal()) : status; }

    struct State;  // the system's part

private:
    std::unique_ptr<State> state;
};
