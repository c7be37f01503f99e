// The command link with one fiscal printer over one serial port: command frames, their
// acknowledgement, sequence numbers, response blocks and the last error pair.
#pragma once

#include "link/frame_layout.h"
#include "link/link_pacing.h"
#include "link/traffic.h"
#include "serial/serial_device.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class DeviceOpenWatch;

class EcfLink {
public:
    // SendCmd results; their numbers are the link's documented codes.
    enum SendResult { kAck = 0, kBusy = 1, kRefused = 2, kNoAnswer = 3, kBadAnswer = 4, kWriteFailed = 7 };
    // GetResp results other than a block length (which is 0 or more).
    enum RespResult {
        kRespEnd = -1,
        kRespError = -2,
        kRespShort = -3,
        kRespBusy = -4,
        kRespMore = -7,
        kRespWriteFailed = -8,
    };
    static constexpr int kBufferSize = 65536;
    // The largest parameter block: the frame must fit its buffer with its framing.
    static constexpr int kMaxParamLen = kBufferSize - frame::kFraming;
    // Polls that a block begun unasked may pause within its header and still be read whole.
    static constexpr int kBlockStartGracePolls = 10;

    // Opens the port at once, refusing it when another program holds it; online() tells whether
    // it opened. The observer, if any, sees the link's traffic from its first note on.
    explicit EcfLink(const PortAddress& port, LinkPacing pacing = {}, SerialPortOpener opener = OpenSerialPort,
                     TrafficObserver observer = {});
    ~EcfLink();
    EcfLink(const EcfLink&) = delete;
    EcfLink& operator=(const EcfLink&) = delete;

    bool online() const { return onlineFlag; }
    // Opens the port for one command; what an earlier command left in the receive buffer is
    // dropped, so that it cannot be read as this command's answer. Only the cheap look for a
    // holder here (HolderCheck::kCheap): the construction walked the processes, and one walk per
    // command would cost too much. The walk is made again only when a device port's watch saw
    // another program open the port since, without closing it.
    bool Start();
    void End();
    // One of the link's notes in the traffic (Windows-1252); the session's too: why the port did
    // not open.
    void Note(const std::string& text);
    // Replaces the observer; an empty one stops the watching.
    void SetTrafficObserver(TrafficObserver observer) { this->observer = std::move(observer); }

    void SetCmd(uint8_t command, uint8_t extension);
    void AddParam(int32_t value);
    // A parameter as the frame carries it: its decimal digits and the bar after them.
    static std::string ParamText(int32_t value) { return std::to_string(value) + "|"; }
    SendResult SendCmd();
    // Asks for the printer's sequence number now, unless the link has one, so that a port can
    // be tried with a SYN alone; the first SendCmd then sends none. False when no number came:
    // the error pair says why, as after a SendCmd that failed at its SYN.
    bool Sync();
    // Forgets the sequence number, so that the next SendCmd asks the printer for it again.
    void ForgetSequence() { nextSeq = -1; }

    // buffer must hold at least 65,535 bytes.
    int GetResp(uint8_t* buffer);
    // The text of the last error pair, in Windows-1252.
    std::string GetError();
    // The lost line's text: the port's, or for a port on a serial server its connection's,
    // naming the server.
    std::string LineLostText();

    // Bytes received and not yet taken.
    int Available() const { return serial->Available(); }
    // Without the reader thread (LinkPacing::readerThread): takes what the port has now.
    void ReadPort() { serial->ReadPort(); }
    int ErrClass() const { return errClass; }
    int ErrDetail() const { return errDetail; }
    // Why the port did not open, at construction or at the last Start, which failed (the state
    // kFree after one that worked): the one record of it, which the session and the front ends read.
    const PortStatus& OpenFailure() const { return serial->OpenFailure(); }
    // Its system's error code.
    int LastError() const { return serial->LastError(); }
    const std::string& DevicePath() const { return port.path; }
    // Whether the system reports the port's line gone, looked at now; the first time, the
    // traffic gets a note. Stays true after End until the port opens again.
    bool LineLost();
    // Called after every poll step of a wait; returning true abandons the wait as if the
    // printer had not answered (a cancel, a closing window). Empty: waits run to their end.
    void SetPollHook(std::function<bool()> hook) { pollHook = std::move(hook); }

private:
    // Tests reach the traffic hook through it.
    friend struct EcfLinkTestSeam;

    // The traffic hook: the log tags for a run of `length` bytes, and the first `observed` of
    // them to the observer. Without a direction the run is one of the link's notes.
    void CmdLog(const uint8_t* bytes, int length) { CmdLog(bytes, length, TrafficDirection::kNote, length); }
    void CmdLog(const uint8_t* bytes, int length, TrafficDirection direction, int observed);
    // GetSync results other than a sequence number.
    enum SyncResult { kSyncBadAnswer = -1, kSyncNoAnswer = -2, kSyncBusy = -3, kSyncWriteFailed = -4 };
    // Whether GetResp starts a new block or goes on with one that arrived in part.
    enum class RespState { kNewBlock, kInBlock };

    int GetSync();
    bool WriteSerial(int n);
    int ReadSerial(int n);
    // The waiting count once it has stopped growing, spending at most `pollsLeft` polls on
    // the settling; -1 when the line never went quiet within them.
    int GetSerial(int& pollsLeft);
    // The two halves of GetResp: each returns the bytes of the block just read into rxBuf, or
    // a result of its own.
    int StartBlock();
    // With a few bytes waiting before the request: the count once a block's start has come
    // (at least the header's start), or what is still there after a short grace; -1 when the
    // line never went quiet.
    int AwaitBlockStart(int& pollsLeft);
    int ContinueBlock();
    // Fails the exchange with this pair: the line is purged and no block is left half read.
    void Fail(int errorClass, int errorDetail);
    // Waits for at least `count` bytes of the printer's answer (or the wait's end) and takes
    // the first into rxBuf; false, with the no-answer pair, when nothing came.
    bool TakeAnswerByte(int count, int& pollsUsed);
    // One poll step; false when the line is lost or the poll hook abandons the wait.
    bool Wait();
    // The detail of an answer that did not come: the lost line, or the printer's silence, which
    // the traffic then notes with the time waited since the last write.
    int NoAnswerDetail();
    // After the printer's silence: true, the line lost and noted, when the port's far end (a
    // serial server) did not answer either (SerialPort::AskFarEnd).
    bool FarEndSilent();
    // After a failed write: true, the exchange failed with the lost line's pair, when the line
    // is gone (the write failed for that, and ends as no answer); false for any other failure.
    bool LostLineFailed();
    // Polls the receive buffer until at least `count` bytes wait or `polls` steps have passed.
    int PollAvailable(int count, int polls);
    // Takes the two status bytes that follow NAK or DC1 into the error pair.
    void ReadStatusPair(int pollsLeft);
    void SetError(int errorClass, int errorDetail);

    const LinkPacing pacing;
    std::function<bool()> pollHook;
    TrafficObserver observer;
    std::chrono::steady_clock::time_point openedAt;  // the origin of the traffic's time stamps
    std::unique_ptr<uint8_t[]> rxBuf;
    std::unique_ptr<uint8_t[]> txBuf;
    std::unique_ptr<uint8_t[]> paramBuf;
    const PortAddress port;  // its path is the device path
    std::unique_ptr<SerialDevice> serial;
    std::unique_ptr<DeviceOpenWatch> openWatch;  // a device port's, from before the link's own open
    int curSeq = 0;
    int blockCount = 0;
    bool lastBlock = false;
    bool onlineFlag = false;
    int nextSeq = -1;
    RespState respState = RespState::kNewBlock;
    int respTotal = 0;
    int blockSize = 0;
    int blockRead = 0;
    int stalledPolls = 0;       // polls in a row without a byte of an incomplete block
    bool paramRefused = false;  // a parameter of the command being built did not fit
    bool lossNoted = false;     // the traffic has its note of the line's loss
    uint8_t cmd = 0;
    uint8_t ext = 0;
    int paramLen = 0;
    int errClass = 0;
    int errDetail = 0;
    // The wait for the answer to the last write so far, in polls.
    int64_t pollsSinceWrite = 0;
};
