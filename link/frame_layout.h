// The protocol's control bytes and the byte layouts of what goes over the line, named once for
// the link (and for whatever decodes its traffic).
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame {

constexpr uint8_t kSoh = 0x01;  // starts a command frame
constexpr uint8_t kEnq = 0x05;  // asks for a response block
constexpr uint8_t kAck = 0x06;  // command accepted
constexpr uint8_t kDc1 = 0x11;  // printer busy: wait, then ask again
constexpr uint8_t kNak = 0x15;  // command refused
constexpr uint8_t kSyn = 0x16;  // asks for the next sequence number

// Command frame, host to printer:
//   0    1    2    3    4     5     6 ... 6+len-1   6+len
//   SOH  seq  cmd  ext  lenLo lenHi parameters      check (sum of bytes 1 .. 6+len-1)
constexpr int kSeq = 1;
constexpr int kCmd = 2;
constexpr int kExt = 3;
constexpr int kLenLow = 4;
constexpr int kLenHigh = 5;
constexpr int kParams = 6;
constexpr int kFraming = kParams + 1;  // every byte but the parameters

// The check byte of a frame's first n bytes (the SOH and what follows it, up to the parameters'
// end): the sum, modulo 256, of all of them but the SOH. 0 when there is nothing to add.
inline uint8_t CheckByte(const uint8_t* bytes, size_t n)
{
    uint8_t sum = 0;
    for (size_t i = 1; i < n; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}

// ENQ request, host to printer: ENQ, then the low byte of the blocks received so far.
constexpr int kEnqSize = 2;

// Response block header, printer to host, then L data bytes and one trailing byte:
//   0      1 2 3   4      5               6 7   8       9     10
//   DC1?   -       class  detail|status   -     status  L lo  L hi
// A DC1 in byte 0 makes the first six bytes a busy answer whose pair is bytes 1 and 2.
constexpr int kHeaderStart = 6;  // bytes that tell a block from a busy answer
constexpr int kHeaderSize = 11;
constexpr int kBusyClass = 1;
constexpr int kBusyDetail = 2;
constexpr int kErrorClass = 4;
constexpr int kErrorDetail = 5;  // when the class is 0: status bits, bit 0 the last block
constexpr uint8_t kLastBlockBit = 0x01;
constexpr int kLengthLow = 9;
constexpr int kLengthHigh = 10;

// What a block's header says: a busy answer's pair, or a block's error pair or its length.
struct BlockHeader {
    bool busy = false;   // a DC1 answer: the block is not ready yet
    int errorClass = 0;  // the busy answer's, or the block's; 0 when a block follows
    int errorDetail = 0;
    bool last = false;  // the last block of the response
    int length = 0;     // the data bytes that follow, the trailing byte not counted
};

// Reads the header from its first kHeaderStart bytes when they are a busy answer, otherwise from
// all kHeaderSize of them.
inline BlockHeader ReadBlockHeader(const uint8_t* bytes)
{
    BlockHeader header;
    header.busy = bytes[0] == kDc1;
    if (header.busy) {
        header.errorClass = bytes[kBusyClass];
        header.errorDetail = bytes[kBusyDetail];
        return header;
    }
    header.errorClass = bytes[kErrorClass];
    header.errorDetail = bytes[kErrorDetail];
    if (header.errorClass == 0) {
        header.last = (bytes[kErrorDetail] & kLastBlockBit) != 0;
        header.length = bytes[kLengthLow] + 256 * bytes[kLengthHigh];
    }
    return header;
}

}  // namespace frame
