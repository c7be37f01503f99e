// The synchronous cycle in which one printer command runs: start, send (again while the
// printer asks to wait), receive the response blocks, end. Shared by the window and kestro-cli.
#pragma once

#include "link/command_numbers.h"
#include "link/ecf_link.h"
#include "session/cycle_display.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

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
    // The last RetResp could not start its command: its "4" is no answer of the printer.
    bool LastStartFailed() const { return lastStartFailed; }
    // The error pair whose text the status line last showed in the current (or last) command
    // sequence; class 0 when none.
    struct ErrorPair {
        int errClass = 0;
        int errDetail = 0;
    };
    ErrorPair ShownPair() const { return shownPair; }
    // Of the last command: how often the printer asked to wait, and whether it took the frame.
    int BusyAnswers() const { return busyAnswers; }
    bool Acknowledged() const { return acknowledged; }
    // What the link said last in the last command: the printer refused it (NAK, or an error in
    // the response's header), which the status line's error pair alone cannot tell from a
    // silence that the link words as a pair of its own.
    bool Refused() const { return lastSent == EcfLink::kRefused || lastReceived == EcfLink::kRespError; }

private:
    // Ends a failed loop: idle display and the link's error text on the status line.
    void ShowLinkError();
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
    bool lastStartFailed = false;
    ErrorPair shownPair;
    int busyAnswers = 0;
    bool acknowledged = false;
    EcfLink::SendResult lastSent = EcfLink::kAck;
    int lastReceived = 0;  // GetResp's: a block's length or an EcfLink::RespResult
};
