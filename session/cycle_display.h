// What the command cycle needs of a display: the window implements it with its widgets,
// kestro-cli on the console.
#pragma once

#include "session/identification.h"

#include <chrono>
#include <functional>
#include <string>

// What the activity display shows while a command runs.
enum DisplayCode {
    kShowIdle = 0,       // icons hidden
    kShowSending = 1,    // the command goes out
    kShowAsking = 2,     // the response is asked for
    kShowReceiving = 3,  // a block arrived
    kShowBusy = 4,       // the printer asked to wait
    kShowError = 5,
    kShowPartial = 6,  // part of a block arrived
};

// The display's pauses, part of the printer's pacing in every front end: after a block or part of
// one arrived, and with "Cancelar" shown while the printer asks to wait.
constexpr std::chrono::milliseconds kReceivedPause {50};
constexpr std::chrono::milliseconds kCancelShownPause {500};
constexpr bool PausesAfter(int code) { return code == kShowReceiving || code == kShowPartial; }

class CycleDisplay {
public:
    virtual ~CycleDisplay() = default;
    // Activity display; lets pending events through.
    virtual void ShowCmd(int code) = 0;
    // The same, with the "Cancelar" link shown or hidden, then about half a second alive.
    virtual void ShowCmd(int code, bool cancelVisible) = 0;
    // The status line; the text is Windows-1252, as the link's error texts are.
    virtual void SetSt(const std::string& text) = 0;
    // The identification texts changed (AtualizaHeader).
    virtual void ShowIdentification(const Identification& identification) = 0;
    // Lets pending events through during the link's waits, so that a cancel or a close can
    // arrive; nothing to do where nothing else runs on the thread.
    virtual void ProcessMessages() {}
    // A cancel asked for outside the cycle (a signal); it holds for every command after it.
    virtual bool CancelRequested() { return false; }

    // The command cycle's word on the display's own pauses (the half second after a busy
    // answer): false once its command is to end at once (a cancel, a lost line), so that the
    // pause ends at its next step.
    void SetPauseGuard(std::function<bool()> goOn) { pauseGoesOn = std::move(goOn); }
    bool PauseGoesOn() const { return !pauseGoesOn || pauseGoesOn(); }
    // The pause with "Cancelar" shown, spent in steps so that it ends at the next one once the
    // cycle says so: wait(step) waits one step, letting events through where there are any.
    void SpendCancelShownPause(std::chrono::milliseconds step,
                               const std::function<void(std::chrono::milliseconds)>& wait) const
    {
        for (std::chrono::milliseconds spent {0}; spent < kCancelShownPause && PauseGoesOn(); spent += step)
            wait(step);
    }

private:
    std::function<bool()> pauseGoesOn;
};
