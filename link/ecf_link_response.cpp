// Response blocks: the ENQ request, the block header, partial blocks, and the error text.
#include "link/ecf_link.h"

#include "base/log.h"
#include "link/frame_layout.h"
#include "vocab/error_text.h"

#include <cstring>

int EcfLink::GetResp(uint8_t* buffer)
{
    AppLog("GetResp");
    const int readNow = respState == RespState::kInBlock ? ContinueBlock() : StartBlock();
    if (readNow < 0)
        return readNow;

    if (blockRead < blockSize) {
        respState = RespState::kInBlock;
        std::memcpy(buffer + respTotal, rxBuf.get(), static_cast<size_t>(readNow));
        respTotal += readNow;
        return kRespMore;
    }
    respState = RespState::kNewBlock;
    // The trailing byte is not part of the data.
    std::memcpy(buffer + respTotal, rxBuf.get(), static_cast<size_t>(readNow - 1));
    respTotal = 0;
    return blockSize - 1;
}

int EcfLink::StartBlock()
{
    SetError(kLinkErrorClass, kLinkCleared);
    if (lastBlock) {
        serial->Purge();
        return kRespEnd;
    }
    // One budget for the whole header wait, the line's settling included, so that a line
    // that never goes quiet (noise, a wrong device) cannot hold the command.
    int pollsLeft = pacing.headerPolls;
    int waiting = GetSerial(pollsLeft);
    if (waiting > 0 && waiting < frame::kHeaderStart)
        waiting = AwaitBlockStart(pollsLeft);
    if (waiting < 0) {
        Fail(kLinkErrorClass, NoAnswerDetail());
        return kRespShort;
    }
    if (waiting < frame::kHeaderStart) {
        // Fewer bytes than a header's start are no block: leftovers of an earlier exchange,
        // or the start of the block that the request asks for again. Read as a header, they
        // would put every following block out of step, and the response might never end.
        serial->Purge();
        txBuf[0] = frame::kEnq;
        txBuf[1] = static_cast<uint8_t>(blockCount & 0xFF);
        if (!WriteSerial(frame::kEnqSize))
            return LostLineFailed() ? kRespShort : kRespWriteFailed;
        waiting = 0;
        while (pollsLeft > 0 && waiting >= 0 && waiting < frame::kHeaderStart) {
            --pollsLeft;
            if (!Wait())
                break;
            waiting = GetSerial(pollsLeft);
        }
        if (waiting < frame::kHeaderStart) {
            Fail(kLinkErrorClass, NoAnswerDetail());
            return kRespShort;
        }
    }
    uint8_t bytes[frame::kHeaderSize] = {};
    ReadSerial(frame::kHeaderStart);
    std::memcpy(bytes, rxBuf.get(), frame::kHeaderStart);
    if (bytes[0] == frame::kDc1) {
        const frame::BlockHeader busy = frame::ReadBlockHeader(bytes);
        SetError(busy.errorClass, busy.errorDetail);
        return kRespBusy;
    }
    const int rest = frame::kHeaderSize - frame::kHeaderStart;
    if (ReadSerial(rest) < rest) {
        Fail(kLinkErrorClass, NoAnswerDetail());
        return kRespShort;
    }
    std::memcpy(bytes + frame::kHeaderStart, rxBuf.get(), rest);
    ++blockCount;
    const frame::BlockHeader header = frame::ReadBlockHeader(bytes);
    if (header.errorClass != 0) {
        Fail(header.errorClass, header.errorDetail);
        return kRespError;
    }
    if (header.last)
        lastBlock = true;
    blockSize = header.length + 1;
    stalledPolls = 0;
    blockRead = ReadSerial(blockSize);
    return blockRead;
}

int EcfLink::ContinueBlock()
{
    // A block that stops arriving mid-way would be asked for forever: its rest gets the
    // header's wait, one poll per call, and then the response is given up as short.
    if (serial->Available() == 0) {
        const bool goOn = Wait();
        if (!goOn || (serial->Available() == 0 && ++stalledPolls >= pacing.headerPolls)) {
            Fail(kLinkErrorClass, NoAnswerDetail());
            return kRespShort;
        }
    }
    const int readNow = ReadSerial(blockSize - blockRead);
    if (readNow > 0)
        stalledPolls = 0;
    blockRead += readNow;
    return readNow;
}

int EcfLink::AwaitBlockStart(int& pollsLeft)
{
    // A printer may start the block unasked right after its acknowledgement and pause in the
    // middle of the header; stray bytes are followed by nothing until the request. A short
    // grace tells the two apart: more bytes within it make a block, silence makes strays.
    int waiting = Available();
    for (int poll = 0; poll < kBlockStartGracePolls && pollsLeft > 0; ++poll) {
        --pollsLeft;
        if (!Wait())
            break;
        waiting = GetSerial(pollsLeft);
        if (waiting < 0 || waiting >= frame::kHeaderStart)
            break;
    }
    return waiting;
}

std::string EcfLink::GetError()
{
    AppLog("GetError");
    if (errClass == kLinkErrorClass && errDetail == kLinkLineLost)
        return LineLostText();
    return ErrorText(errClass, errDetail);
}
