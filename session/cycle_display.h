// What the command cycle needs of a display: the window implements it with its widgets,
// kestro-cli on the console.
#pragma once

#include "session/printer_identity.h"

#include <chrono>
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

class CycleDisplay {
public:
    virtual ~CycleDisplay() = default;
    // Activity display; lets pending events through.
    virtual void ShowCmd(int code) = 0;
    // The same, with the "Cancelar" link shown or hidden; the cycle's pause follows.
    virtual void ShowCmd(int code, bool cancelVisible) = 0;
    // The status line; the text is Windows-1252, as the link's error texts are.
    virtual void SetSt(const std::string& text) = 0;
    // The identification texts changed (AtualizaHeader).
    virtual void ShowIdentification(const Identification& identification) = 0;
    // Lets pending events through during the link's waits, so that a cancel or a close can
    // arrive; nothing to do where nothing else runs on the thread.
    virtual void ProcessMessages() {}
    // A port whose open may take seconds (a serial server's: its name and connection) is being
    // opened at `where` (host:port); an empty `where` once that open has ended, opened or not.
    virtual void ShowOpening(const std::string& /*where*/) {}
    // A cancel asked for outside the cycle (a signal); it holds for every command after it.
    virtual bool CancelRequested() { return false; }

    // The one wait of the command's pacing, which the cycle spends (CommandCycle): waits
    // `duration`, letting events through where there are any.
    virtual void Wait(std::chrono::milliseconds duration) = 0;
    // The steps in which the pause with "Cancelar" shown is spent, each a chance to end it.
    virtual std::chrono::milliseconds WaitStep() const { return std::chrono::milliseconds(50); }
    // Whether the pause after a received block is kept: the line check of kestro-cli leaves it
    // out, to time the line alone.
    virtual bool PausesAfterBlocks() const { return true; }
};
