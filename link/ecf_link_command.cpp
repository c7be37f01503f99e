// Command frames: parameters, sequence synchronisation, transmission and the printer's answer.
#include "link/ecf_link.h"

#include "base/log.h"
#include "link/frame_layout.h"
#include "vocab/error_text.h"

#include <cstring>

void EcfLink::SetCmd(uint8_t command, uint8_t extension)
{
    AppLog("SetCmd");
    cmd = command;
    ext = extension;
    paramLen = 0;
    paramRefused = false;
}

void EcfLink::AddParam(int32_t value)
{
    AppLog("AddParam");
    const std::string text = ParamText(value);
    // A parameter that no longer fits the frame is refused whole, so that the length field
    // always tells the truth and the buffer is never overrun.
    if (paramLen + static_cast<int>(text.size()) > kMaxParamLen) {
        AppLog("AddParam Erro");
        paramRefused = true;
        return;
    }
    std::memcpy(paramBuf.get() + paramLen, text.data(), text.size());
    paramLen += static_cast<int>(text.size());
}

EcfLink::SendResult EcfLink::SendCmd()
{
    AppLog("SendCmd");
    SetError(kLinkErrorClass, kLinkCleared);
    // A command cancelled inside a block must not hand that block to this one.
    respState = RespState::kNewBlock;
    respTotal = 0;
    stalledPolls = 0;
    // A frame without one of its parameters would be a different command: send nothing.
    if (paramRefused)
        return kWriteFailed;
    if (nextSeq == -1) {
        const int sync = GetSync();
        switch (sync) {
        case kSyncWriteFailed:
            return kWriteFailed;
        case kSyncBusy:
            return kBusy;
        case kSyncNoAnswer:
            return kNoAnswer;
        case kSyncBadAnswer:
            return kBadAnswer;
        default:
            nextSeq = sync;
        }
    }
    curSeq = nextSeq;
    nextSeq = nextSeq + 1;
    blockCount = 0;
    lastBlock = false;

    uint8_t* const out = txBuf.get();
    out[0] = frame::kSoh;
    out[frame::kSeq] = static_cast<uint8_t>(curSeq & 0xFF);
    out[frame::kCmd] = cmd;
    out[frame::kExt] = ext;
    out[frame::kLenLow] = static_cast<uint8_t>(paramLen & 0xFF);
    out[frame::kLenHigh] = static_cast<uint8_t>((paramLen >> 8) & 0xFF);
    std::memcpy(out + frame::kParams, paramBuf.get(), static_cast<size_t>(paramLen));
    out[frame::kParams + paramLen] = frame::CheckByte(out, static_cast<size_t>(frame::kParams + paramLen));
    if (!WriteSerial(paramLen + frame::kFraming))
        return LostLineFailed() ? kNoAnswer : kWriteFailed;

    int pollsUsed = 0;
    if (!TakeAnswerByte(1, pollsUsed))
        return kNoAnswer;
    switch (rxBuf[0]) {
    case frame::kAck:
        return kAck;
    case frame::kNak:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return kRefused;
    case frame::kDc1:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return kBusy;
    default:
        Fail(kLinkErrorClass, kLinkInvalidAnswer);
        return kBadAnswer;
    }
}

bool EcfLink::Sync()
{
    if (nextSeq != -1)
        return true;
    SetError(kLinkErrorClass, kLinkCleared);
    const int sync = GetSync();
    if (sync < 0)
        return false;
    nextSeq = sync;
    return true;
}

int EcfLink::GetSync()
{
    AppLog("GetSync");
    txBuf[0] = frame::kSyn;
    if (!WriteSerial(1))
        return LostLineFailed() ? kSyncNoAnswer : kSyncWriteFailed;
    int pollsUsed = 0;
    if (!TakeAnswerByte(2, pollsUsed))
        return kSyncNoAnswer;
    switch (rxBuf[0]) {
    case frame::kSyn:
        // The sequence byte must really have come: a SYN alone is an incomplete answer.
        if (ReadSerial(1) == 0) {
            SetError(kLinkErrorClass, NoAnswerDetail());
            return kSyncNoAnswer;
        }
        return rxBuf[0];
    case frame::kDc1:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return kSyncBusy;
    default:
        Fail(kLinkErrorClass, kLinkInvalidAnswer);
        return kSyncBadAnswer;
    }
}

bool EcfLink::TakeAnswerByte(int count, int& pollsUsed)
{
    pollsUsed = PollAvailable(count, pacing.answerPolls);
    if (serial->Available() == 0) {
        SetError(kLinkErrorClass, NoAnswerDetail());
        return false;
    }
    ReadSerial(1);
    return true;
}

void EcfLink::ReadStatusPair(int pollsLeft)
{
    // The pair normally arrives with its NAK or DC1; if the line split them, give it the rest
    // of the answer's wait rather than reading stale bytes as the printer's status.
    if (serial->Available() < 2)
        PollAvailable(2, pollsLeft);
    if (ReadSerial(2) < 2) {
        SetError(kLinkErrorClass, NoAnswerDetail());
        return;
    }
    SetError(rxBuf[0], rxBuf[1]);
}
