// The synchronous cycle in which one printer command runs: start, send (again while the
// printer asks to wait), receive the response blocks, end. Shared by the window and kestro-cli.
#pragma once

#include "link/command_numbers.h"
#include "link/ecf_link.h"
#include "serial/port_status.h"
#include "session/cycle_display.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A printer's or the link's error pair (vocab/error_text.h); class 0 when there is none.
struct ErrorPair {
    int errClass = 0;
    int errDetail = 0;
};

// How a command ended: the one answer to "why did it fail", which the identification, the line
// test, the search and the front ends read rather than asking the link again.
struct CommandOutcome {
    enum Kind {
        kDone,
        kNotOpened,      // the port did not open, or not again since the last command
        kLineLost,       // the system reports the port's line gone, or its serial server stopped answering
        kBusyGivenUp,    // the printer kept asking to wait, and was not waited for any longer
        kNoAnswer,       // no answer, or an incomplete one, within the wait
        kInvalidAnswer,  // a byte that fits no answer
        kRefused,        // NAK, or an error in the response's header: see pair
        kNotSent,        // the command, or the request for its response, could not be written
        kCancelled,      // a cancel cut it short
    };
    Kind kind = kDone;
    PortStatus openFailure;   // kNotOpened: why
    ErrorPair pair;           // the pair it ended on, as the status line showed it
    bool inResponse = false;  // kRefused: the error came in the response's header, not as NAK
    std::string text;         // what the status line said of it (Windows-1252); empty when done
};

// The command's pacing, the same in every front end: a pause after a block or part of one
// arrived, and one with "Cancelar" shown while the printer asks to wait. Both are spent through
// the display's wait (CycleDisplay::Wait).
constexpr std::chrono::milliseconds kReceivedPause {50};
constexpr std::chrono::milliseconds kCancelShownPause {500};

class CommandCycle {
public:
    // ExecCmd results.
    enum ExecResult { kDone = 0, kFailed = 1, kCancelled = 2, kLate = 3, kNotStarted = 4, kRequestFailed = 5 };
    // The response buffer of RetResp.
    static constexpr size_t kResponseSize = 4096;

    explicit CommandCycle(CycleDisplay& display);
    ~CommandCycle();
    CommandCycle(const CommandCycle&) = delete;
    CommandCycle& operator=(const CommandCycle&) = delete;

    // The current link, not owned; the cycle is only run while there is one. Its waits let the
    // display's events through and end early once a cancel was requested.
    void SetLink(EcfLink* link);
    EcfLink* Link() const { return link; }

    bool StartCmd();
    bool SendCmd();
    // Receives the response; with a destination the blocks are appended to it, at most
    // capacity - 1 bytes and a closing zero byte. Result 0, 1, 2, 3 or 5. received, when
    // given, gets the response's whole length, what did not fit included.
    int RecebeBuffer(uint8_t* destination, size_t capacity, size_t* received = nullptr);
    void EndCmd();
    // The whole cycle; with a destination the response is kept as RecebeBuffer keeps it.
    int ExecCmd(uint8_t* destination = nullptr, size_t capacity = 0, size_t* received = nullptr);
    // Field `index` of the command's response; "4" when the port cannot be opened, "" when the
    // command fails. Throws std::out_of_range when the response has no such field.
    std::string RetResp(int index);
    static std::vector<std::string> LeParam(const std::string& text);

    // Asks the running command sequence to stop at its next poll step ("Cancelar", closing
    // the window, a signal); any thread may ask. The request holds until the sequence ends:
    // a whole "Conectar" stops, not only the query in progress.
    void RequestCancel() { cancelRequest = true; }
    // One poll step of a wait (the link's, or its port's open): the display's events let
    // through; true once a cancel was requested.
    bool Poll();
    bool CancelRequested() const { return cancelRequest || display.CancelRequested(); }

    // Marks one command sequence (ExecCmd and RetResp are one each; a session's "Conectar" is
    // one made of several): a cancel request is forgotten only when the outermost one starts.
    class Sequence {
    public:
        explicit Sequence(CommandCycle& cycle);
        ~Sequence();
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

    private:
        CommandCycle& cycle;
    };
    // For a search: asks for the printer's sequence number alone (EcfLink::Sync). A printer
    // busy at the SYN answered all the same: kBusyGivenUp, with its status pair.
    const CommandOutcome& Sync();
    // How the last command ended (ExecCmd, RetResp, Sync, or a link whose port did not open).
    const CommandOutcome& Outcome() const { return outcome; }
    // The last command of the current (or last) command sequence that did not end done; kDone
    // when none failed. Its text is the one the status line was left showing by the cycle.
    const CommandOutcome& SequenceOutcome() const { return sequenceOutcome; }
    // The error pair whose text the status line last showed in the current (or last) command
    // sequence; class 0 when none.
    ErrorPair ShownPair() const { return shownPair; }
    // Of the last command: how often the printer asked to wait.
    int BusyAnswers() const { return busyAnswers; }
    // A printer still asking to wait at `deadline` is given up (kBusyGivenUp) and the sequence
    // cancelled; none: it is waited for until a cancel.
    void SetBusyDeadline(std::optional<std::chrono::steady_clock::time_point> deadline)
    {
        busyDeadline = deadline;
    }
    // Words a port's failed open (its cancel aside) with what more the owner knows of the port, as
    // its adapter; OpenFailureText when unset. Called for the link's first open and for every
    // command's.
    void SetOpenFailureWords(std::function<std::string(const PortStatus& failure)> words)
    {
        openFailureWords = std::move(words);
    }

private:
    // Why the link's port did not open: the open's failure, or a cancel that gave the open up.
    std::string OpenFailedText() const;
    // Ends a failed loop: idle display and the link's error text on the status line.
    void ShowLinkError();
    // The status line's text, kept for the outcome.
    void Say(const std::string& text);
    // A block, or part of one, arrived: shown, then the pause after it.
    void ShowBlock(int code);
    // The printer asked to wait: the pause with "Cancelar" shown, spent in steps that end once
    // the command is to end at once (a cancel, a lost line); then the deadline's word.
    void ShowBusy();
    // Settles the outcome of the command that just ended.
    void Conclude(bool done);
    // The send and receive loops' cancel rule: true, with the loop's tag logged and the link's
    // text shown, once a cancel was requested. A result that only says that a wait ended (no
    // answer, busy) is passed as waitCut: with a cancel requested, that wait was cut short by
    // it and ends as the cancel it is, not as its own result.
    bool EndsForCancel(const char* tag, bool waitCut = true);

    CycleDisplay& display;
    EcfLink* link = nullptr;
    std::vector<uint8_t> blockBuffer;
    std::atomic<bool> cancelRequest {false};
    int sequenceDepth = 0;
    ErrorPair shownPair;
    // The last command's facts, for its outcome.
    bool startFailed = false;
    int busyAnswers = 0;
    bool acknowledged = false;
    bool refused = false;
    bool writeFailed = false;
    bool cancelEnded = false;
    bool busyGivenUp = false;
    std::string saidText;
    CommandOutcome outcome;
    CommandOutcome sequenceOutcome;
    std::optional<std::chrono::steady_clock::time_point> busyDeadline;
    std::function<std::string(const PortStatus&)> openFailureWords;
};
