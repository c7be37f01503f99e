// Fuzzes the printer link through whole commands: every byte the "printer" sends, and how the
// bytes are split into arrivals, come from the input. Built with libFuzzer, ASan and UBSan.
//
// Input: one control byte, then arrivals, each a length byte and that many bytes.
//   control bits 0-1: commands to run (1 to 4); bits 2-5: the n-th write fails (0: none);
//   bit 6: the port cannot be opened again after the first End; bit 7: identification query
//   instead of the X reading.
// Each poll of the link lets the next arrival in (a zero length is a quiet poll) and gives the
// serial reader its turn on this thread, so a run never depends on timing.
#include "link/command_numbers.h"
#include "link/ecf_link.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kOpenError = 2;        // what the fake system reports when the port is gone
constexpr int kBusyRetries = 8;      // the window retries without limit; a run needs an end
constexpr size_t kMaxFeed = 150000;  // stays below the receive buffer

[[noreturn]] void Fail(const char* what, int value)
{
    std::fprintf(stderr, "link_fuzzer: %s (%d)\n", what, value);
    std::abort();
}

// What the printer sends: the fake port hands out one arrival at a time.
class Feed {
public:
    Feed(const uint8_t* data, size_t size, int failingWrite, bool failReopen)
        : data(data),
          size(size < kMaxFeed ? size : kMaxFeed),
          failingWrite(failingWrite),
          failReopen(failReopen)
    {
    }

    // One poll of the link: the next arrival reaches the port and the reader's turn moves it
    // into the receive buffer.
    void Poll(EcfLink& link)
    {
        if (!portOpen || position >= size)
            return;
        size_t n = data[position++];
        n = n < size - position ? n : size - position;
        ready.assign(data + position, data + position + n);
        position += n;
        link.ReadPort();
    }

    bool Exhausted() const { return position >= size; }
    PortOpenResult Open();

    int Read(uint8_t* destination, int n)
    {
        const size_t m = ready.size() < static_cast<size_t>(n) ? ready.size() : static_cast<size_t>(n);
        if (m == 0)
            return 0;
        std::memcpy(destination, ready.data(), m);
        ready.erase(ready.begin(), ready.begin() + static_cast<std::ptrdiff_t>(m));
        return static_cast<int>(m);
    }

    bool Write() { return ++writes != failingWrite; }
    void PortClosed()
    {
        portOpen = false;
        ready.clear();
    }

private:
    const uint8_t* const data;
    const size_t size;
    const int failingWrite;
    const bool failReopen;
    size_t position = 0;
    std::vector<uint8_t> ready;
    bool portOpen = false;
    int writes = 0;
    int opens = 0;
};

class FakePort : public SerialPort {
public:
    explicit FakePort(Feed& feed) : feed(feed) {}
    ~FakePort() override { feed.PortClosed(); }
    int Read(uint8_t* destination, int n) override { return feed.Read(destination, n); }
    bool Write(const uint8_t* /*source*/, int /*n*/) override { return feed.Write(); }
    // Its line never goes: a failed write here is a write that failed, not a pulled cable.
    void CheckLine() override {}

private:
    Feed& feed;
};

PortOpenResult Feed::Open()
{
    PortOpenResult result;
    if (++opens > 1 && failReopen) {
        result.failure.error = kOpenError;
        return result;
    }
    portOpen = true;
    result.port = std::make_unique<FakePort>(*this);
    return result;
}

void ExpectPair(const EcfLink& link, int errorClass, int errorDetail, int result)
{
    if (link.ErrClass() != errorClass || link.ErrDetail() != errorDetail)
        Fail("wrong error pair for result", result);
}

void RunResponse(EcfLink& link, Feed& feed, uint8_t* block)
{
    // Once nothing is left to arrive, the response must end within the header's wait.
    int idleCalls = 0;
    for (;;) {
        const bool idle = feed.Exhausted() && link.Available() == 0;
        idleCalls = idle ? idleCalls + 1 : 0;
        if (idleCalls > LinkPacing().headerPolls + 2)
            Fail("GetResp does not give up on a silent line", idleCalls);
        const int result = link.GetResp(block);
        if (result >= 0) {
            if (result > 65535)
                Fail("block longer than its length field allows", result);
            ExpectPair(link, 255, 0, result);
            continue;
        }
        switch (result) {
        case EcfLink::kRespMore:
            ExpectPair(link, 255, 0, result);
            continue;
        case EcfLink::kRespBusy:
            continue;
        case EcfLink::kRespEnd:
        case EcfLink::kRespWriteFailed:
            ExpectPair(link, 255, 0, result);
            return;
        case EcfLink::kRespShort:
            ExpectPair(link, 255, 2, result);
            link.GetError();
            return;
        case EcfLink::kRespError:
            link.GetError();
            return;
        default:
            Fail("GetResp gave an unknown result", result);
        }
    }
}

void RunCommand(EcfLink& link, Feed& feed, bool identification, uint8_t* block)
{
    if (!link.Start()) {
        if (link.LastError() != kOpenError)
            Fail("Start failed without the system's code", link.LastError());
        return;
    }
    if (identification) {
        link.SetCmd(command::kReadInfo, 0);
        link.AddParam(command::kIdentificationGroup);
        link.AddParam(static_cast<int32_t>(IdentificationItem::kModel));
    } else {
        link.SetCmd(command::kReadingX, 0);
        link.AddParam(command::kReadingXParam);
    }
    int sent = EcfLink::kBusy;
    for (int pass = 0; pass < kBusyRetries && sent == EcfLink::kBusy; ++pass) {
        sent = link.SendCmd();
        switch (sent) {
        case EcfLink::kAck:
            ExpectPair(link, 255, 0, sent);
            break;
        case EcfLink::kNoAnswer:
            ExpectPair(link, 255, 2, sent);
            break;
        case EcfLink::kBadAnswer:
            ExpectPair(link, 255, 1, sent);
            break;
        case EcfLink::kWriteFailed:
            ExpectPair(link, 255, 0, sent);
            break;
        case EcfLink::kBusy:
        case EcfLink::kRefused:
            break;
        default:
            Fail("SendCmd gave an unknown result", sent);
        }
        if (sent != EcfLink::kAck)
            link.GetError();
    }
    if (sent == EcfLink::kAck)
        RunResponse(link, feed, block);
    link.End();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t control = data[0];
    const int commands = 1 + (control & 0x03);
    Feed feed(data + 1, size - 1, (control >> 2) & 0x0F, (control & 0x40) != 0);
    static std::vector<uint8_t> block(EcfLink::kBufferSize);

    LinkPacing pacing;
    pacing.step = std::chrono::milliseconds(0);
    pacing.openWait = std::chrono::milliseconds(0);
    pacing.readerPause = std::chrono::milliseconds(0);
    pacing.readerThread = false;
    EcfLink* polled = nullptr;  // no wait happens while the link is being built
    pacing.wait = [&feed, &polled](std::chrono::milliseconds) { feed.Poll(*polled); };
    EcfLink link(DeviceAddress("fuzz0"), pacing,
                 [&feed](const PortAddress&, const std::string&, int, HolderCheck) { return feed.Open(); });
    polled = &link;
    if (!link.online())
        Fail("the first open failed", 0);
    for (int i = 0; i < commands; ++i)
        RunCommand(link, feed, (control & 0x80) != 0, block.data());
    return 0;
}
