// Command frames: parameters, sequence synchronisation, transmission and the printer's answer.
#include "link/ecf_link.h"

#include "app/log.h"

#include <cstring>

namespace {

constexpr uint8_t SOH = 0x01;
constexpr uint8_t ACK = 0x06;
constexpr uint8_t DC1 = 0x11;
constexpr uint8_t NAK = 0x15;
constexpr uint8_t SYN = 0x16;

}  // namespace

void EcfLink::SetCmd(uint8_t command, uint8_t extension)
{
    AppLog("SetCmd");
    cmd = command;
    ext = extension;
    paramLen = 0;
}

void EcfLink::AddParam(int32_t value)
{
    AppLog("AddParam");
    const std::string text = std::to_string(value) + "|";
    // A parameter that no longer fits the frame is refused whole, so that the length field
    // always tells the truth and the buffer is never overrun.
    if (paramLen + static_cast<int>(text.size()) > kMaxParamLen) {
        AppLog("AddParam Erro");
        return;
    }
    std::memcpy(paramBuf.get() + paramLen, text.data(), text.size());
    paramLen += static_cast<int>(text.size());
}

int EcfLink::SendCmd()
{
    AppLog("SendCmd");
    SetError(255, 0);
    if (nextSeq == -1) {
        const int sync = GetSync();
        switch (sync) {
        case -4: return kWriteFailed;
        case -3: return kBusy;
        case -2: return kNoAnswer;
        case -1: return kBadAnswer;
        default: nextSeq = sync;
        }
    }
    curSeq = nextSeq;
    nextSeq = nextSeq + 1;
    blockCount = 0;
    lastBlock = false;

    uint8_t* frame = txBuf.get();
    frame[0] = SOH;
    frame[1] = static_cast<uint8_t>(curSeq & 0xFF);
    frame[2] = cmd;
    frame[3] = ext;
    frame[4] = static_cast<uint8_t>(paramLen & 0xFF);
    frame[5] = static_cast<uint8_t>((paramLen >> 8) & 0xFF);
    std::memcpy(frame + 6, paramBuf.get(), static_cast<size_t>(paramLen));
    frame[6 + paramLen] = CheckSum(frame, paramLen + 6);
    if (!WriteSerial(paramLen + 7))
        return kWriteFailed;

    const int pollsUsed = PollAvailable(1, pacing.answerPolls);
    if (serial->Available() == 0) {
        SetError(255, 2);
        return kNoAnswer;
    }
    ReadSerial(1);
    switch (rxBuf[0]) {
    case ACK:
        return kAck;
    case NAK:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return kRefused;
    case DC1:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return kBusy;
    default:
        serial->Purge();
        SetError(255, 1);
        return kBadAnswer;
    }
}

int EcfLink::GetSync()
{
    AppLog("GetSync");
    txBuf[0] = SYN;
    if (!WriteSerial(1))
        return -4;
    const int pollsUsed = PollAvailable(2, pacing.answerPolls);
    if (serial->Available() == 0) {
        SetError(255, 2);
        return -2;
    }
    ReadSerial(1);
    switch (rxBuf[0]) {
    case SYN:
        // The sequence byte must really have come: a SYN alone is an incomplete answer.
        if (ReadSerial(1) == 0) {
            SetError(255, 2);
            return -2;
        }
        return rxBuf[0];
    case DC1:
        ReadStatusPair(pacing.answerPolls - pollsUsed);
        return -3;
    default:
        serial->Purge();
        SetError(255, 1);
        return -1;
    }
}

void EcfLink::ReadStatusPair(int pollsLeft)
{
    // The pair normally arrives with its NAK or DC1; if the line split them, give it the rest
    // of the answer's wait rather than reading stale bytes as the printer's status.
    if (serial->Available() < 2)
        PollAvailable(2, pollsLeft);
    if (ReadSerial(2) < 2) {
        SetError(255, 2);
        return;
    }
    SetError(rxBuf[0], rxBuf[1]);
}

int EcfLink::PollAvailable(int count, int polls)
{
    // Each poll waits first and looks afterwards, as the printer's timing expects.
    int used = 0;
    while (used < polls) {
        Wait();
        ++used;
        if (serial->Available() >= count)
            break;
    }
    return used;
}

bool EcfLink::WriteSerial(int n)
{
    AppLog("WriteSerial");
    const bool sent = serial->Write(txBuf.get(), n);
    AppLog(sent ? "WriteSerial Ok" : "WriteSerial Erro");
    CmdLog(txBuf.get(), n);
    return sent;
}

uint8_t EcfLink::CheckSum(const uint8_t* bytes, int n)
{
    uint8_t sum = 0;
    for (int i = 1; i < n; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}
