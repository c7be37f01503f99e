// The link's life: the port opened at construction, Start and End around every command.
#include "link/ecf_link.h"

#include "base/local_time.h"
#include "base/log.h"
#include "serial/line_settings.h"
#include "serial/system.h"
#include "vocab/error_text.h"
#include "vocab/status_words.h"
#include "vocab/traffic_notes.h"

#include <thread>

namespace {

// The link's first note, with its port and the clock time now.
std::string FirstNote(const char* first, const std::string& portName)
{
    std::tm now {};
    return LocalTimeOf(std::time(nullptr), now) ? ConnectionNote(first, portName, now) : first;
}

}  // namespace

EcfLink::EcfLink(const PortAddress& port, LinkPacing pacing, SerialPortOpener opener, TrafficObserver observer)
    : pacing(std::move(pacing)),
      observer(std::move(observer)),
      rxBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      txBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      paramBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      port(port)
{
    AppLog("SerialDevice");
    serial = std::make_unique<SerialDevice>(port, ModeText(kPrinterLine), 0, kBufferSize, std::move(opener));
    serial->SetReaderPause(this->pacing.readerPause);
    serial->SetReaderThread(this->pacing.readerThread);
    AppLog("SerialDevice Ok");
    std::this_thread::sleep_for(this->pacing.openWait);
    AppLog("SerialOpen");
    openedAt = std::chrono::steady_clock::now();
    // A port on a serial server has no device node to watch: an empty path watches nothing.
    openWatch = std::make_unique<DeviceOpenWatch>(port.OnServer() ? "" : port.path);
    onlineFlag = serial->Open(HolderCheck::kLook);
    if (onlineFlag)
        openWatch->OursAlone();
    const std::string first = FirstNote(onlineFlag ? kPortOpenedNote : kPortNotOpenedText, port.name);
    Note(first);
    AppLog(onlineFlag ? "SerialOpen Ok" : "SerialOpen NOk");
    nextSeq = -1;
    respState = RespState::kNewBlock;
    respTotal = 0;
}

EcfLink::~EcfLink() = default;

bool EcfLink::Start()
{
    AppLog("Start");
    // Another program that opened the port while it was closed, without a lock for the open to
    // meet, is named and refused before this command's first byte.
    const bool look = !serial->IsOpen() && openWatch->OpenElsewhere();
    const bool opened = serial->Open(look ? HolderCheck::kLook : HolderCheck::kCheap);
    if (look && opened)
        openWatch->OursAlone();
    else
        openWatch->TakeEvents();
    if (!opened)
        return false;
    serial->Purge();
    return true;
}

void EcfLink::End()
{
    AppLog("End");
    serial->Close();
    openWatch->TakeEvents();
}
