// Signals on POSIX systems: blocked in every thread and taken by one thread with sigtimedwait,
// so that the reaction runs as ordinary code, free to lock and to cancel.
#include "base/interrupt.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <thread>
#include <unistd.h>

struct InterruptWatch::State {
    std::function<void()> onFirst;
    std::function<void()> beforeExit;
    std::atomic<int> first {0};
    std::atomic<bool> stop {false};
    sigset_t signals {};
    sigset_t previous {};
    std::thread thread;

    void Run()
    {
        const timespec tick {0, 100 * 1000 * 1000};  // how soon the destructor is noticed
        while (!stop) {
            const int number = sigtimedwait(&signals, nullptr, &tick);
            if (number <= 0)
                continue;
            if (first == 0) {
                first = number;
                onFirst();
            } else {
                beforeExit();
                ::_exit(SignalExitStatus(number));
            }
        }
    }
};

InterruptWatch::InterruptWatch(std::function<void()> onFirst, std::function<void()> beforeExit)
    : state(std::make_unique<State>())
{
    state->onFirst = std::move(onFirst);
    state->beforeExit = std::move(beforeExit);
    sigemptyset(&state->signals);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&state->signals, number);
    pthread_sigmask(SIG_BLOCK, &state->signals, &state->previous);
    state->thread = std::thread([this] { state->Run(); });
}

InterruptWatch::~InterruptWatch()
{
    state->stop = true;
    state->thread.join();
    // A signal that came meanwhile stays pending; the program ends with its status anyway.
}

int InterruptWatch::Signal() const { return state->first; }
