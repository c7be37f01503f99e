// Response blocks: the ENQ request, the block header, partial blocks, and the error text.
#include "link/ecf_link.h"

#include "app/log.h"
#include "vocab/error_text.h"

#include <cstring>

namespace {

constexpr uint8_t ENQ = 0x05;
constexpr uint8_t DC1 = 0x11;
constexpr int kHeaderStart = 6;  // bytes that tell a block from a busy answer
constexpr int kHeaderRest = 5;

}  // namespace

int EcfLink::GetResp(uint8_t* buffer)
{
    AppLog("GetResp");
    int readNow = 0;
    if (respState == 1) {
        // A block that stops arriving mid-way would be asked for forever: its rest gets the
        // header's wait, one poll per call, and then the response is given up as short.
        if (serial->Available() == 0) {
            Wait();
            if (serial->Available() == 0 && ++stalledPolls >= pacing.headerPolls) {
                SetError(255, 2);
                serial->Purge();
                respState = 0;
                respTotal = 0;
                return kRespShort;
            }
        }
        readNow = ReadSerial(blockSize - blockRead);
        if (readNow > 0)
            stalledPolls = 0;
        blockRead += readNow;
    } else {
        SetError(255, 0);
        if (lastBlock) {
            serial->Purge();
            return kRespEnd;
        }
        if (GetSerial() < kHeaderStart) {
            // Fewer bytes than a header's start are no block: leftovers of an earlier exchange,
            // or the start of the block that the request asks for again. Read as a header, they
            // would put every following block out of step, and the response might never end.
            serial->Purge();
            txBuf[0] = ENQ;
            txBuf[1] = static_cast<uint8_t>(blockCount & 0xFF);
            if (!WriteSerial(2))
                return kRespWriteFailed;
            int waiting = 0;
            for (int poll = 0; poll < pacing.headerPolls && waiting < kHeaderStart; ++poll) {
                Wait();
                waiting = GetSerial();
            }
            if (waiting < kHeaderStart) {
                SetError(255, 2);
                serial->Purge();
                return kRespShort;
            }
        }
        uint8_t header[kHeaderStart + kHeaderRest] = {};
        ReadSerial(kHeaderStart);
        std::memcpy(header, rxBuf.get(), kHeaderStart);
        if (header[0] == DC1) {
            SetError(header[1], header[2]);
            return kRespBusy;
        }
        if (ReadSerial(kHeaderRest) < kHeaderRest) {
            SetError(255, 2);
            serial->Purge();
            return kRespShort;
        }
        std::memcpy(header + kHeaderStart, rxBuf.get(), kHeaderRest);
        ++blockCount;
        if (header[4] != 0) {
            SetError(header[4], header[5]);
            serial->Purge();
            return kRespError;
        }
        if (header[5] & 0x01)
            lastBlock = true;
        blockSize = header[9] + 256 * header[10] + 1;
        stalledPolls = 0;
        readNow = ReadSerial(blockSize);
        blockRead = readNow;
    }

    if (blockRead < blockSize) {
        respState = 1;
        std::memcpy(buffer + respTotal, rxBuf.get(), static_cast<size_t>(readNow));
        respTotal += readNow;
        return kRespMore;
    }
    respState = 0;
    // The trailing byte is not part of the data.
    std::memcpy(buffer + respTotal, rxBuf.get(), static_cast<size_t>(readNow - 1));
    respTotal = 0;
    return blockSize - 1;
}

int EcfLink::ReadSerial(int n)
{
    AppLog("ReadSerial");
    const int taken = static_cast<int>(serial->Read(rxBuf.get(), static_cast<uint32_t>(n)));
    AppLog("ReadSerial Ok");
    CmdLog(rxBuf.get(), n);
    return taken;
}

int EcfLink::GetSerial()
{
    int previous = serial->Available();
    if (previous == 0)
        return 0;
    for (;;) {
        Wait();
        const int now = serial->Available();
        if (now >= kBufferSize)
            return kBufferSize;
        if (now <= previous)
            return previous;
        previous = now;
    }
}

std::string EcfLink::GetError()
{
    AppLog("GetError");
    return ErrorText(errClass, errDetail);
}
