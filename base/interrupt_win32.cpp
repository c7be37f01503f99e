// Console control events on Windows: the system calls the handler on a thread of its own.
#include "base/interrupt.h"

#include <atomic>
#include <csignal>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

struct InterruptWatch::State {
    std::function<void()> onFirst;
    std::function<void()> beforeExit;
    std::atomic<int> first {0};
};

namespace {

InterruptWatch::State* watched = nullptr;

// The POSIX numbers, so that the exit status reads the same on every system.
int SignalNumber(DWORD event) { return event == CTRL_C_EVENT ? SIGINT : event == CTRL_CLOSE_EVENT ? 1 : SIGTERM; }

BOOL WINAPI Handle(DWORD event)
{
    InterruptWatch::State* state = watched;
    if (state == nullptr)
        return FALSE;
    const int number = SignalNumber(event);
    int none = 0;
    if (state->first.compare_exchange_strong(none, number)) {
        state->onFirst();
        return TRUE;
    }
    state->beforeExit();
    ExitProcess(static_cast<UINT>(SignalExitStatus(number)));
}

}  // namespace

InterruptWatch::InterruptWatch(std::function<void()> onFirst, std::function<void()> beforeExit)
    : state(std::make_unique<State>())
{
    state->onFirst = std::move(onFirst);
    state->beforeExit = std::move(beforeExit);
    watched = state.get();
    SetConsoleCtrlHandler(Handle, TRUE);
}

InterruptWatch::~InterruptWatch()
{
    SetConsoleCtrlHandler(Handle, FALSE);
    watched = nullptr;
}

int InterruptWatch::Signal() const { return state->first; }
