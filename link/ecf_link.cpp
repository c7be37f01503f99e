// The link's life: the port opened at construction, Start and End around every command.
#include "link/ecf_link.h"

#include "base/log.h"
#include "base/log_file.h"
#include "serial/network_port.h"
#include "serial/port_list.h"
#include "vocab/error_text.h"
#include "vocab/filling.h"
#include "vocab/status_words.h"
#include "vocab/traffic_notes.h"

#include <thread>

namespace {

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

// The link's first note, with its port and the clock time now.
std::string FirstNote(const char* first, const std::string& portName)
{
    std::tm now {};
    return LocalTimeOf(std::time(nullptr), now) ? ConnectionNote(first, portName, now) : first;
}

}  // namespace

EcfLink::EcfLink(const std::string& portName, LinkPacing pacing, SerialPortOpener opener, TrafficObserver observer)
    : pacing(std::move(pacing)),
      observer(std::move(observer)),
      rxBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      txBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      paramBuf(std::make_unique<uint8_t[]>(kBufferSize)),
      devicePath(DevicePathForPortName(portName))
{
    AppLog("SerialDevice");
    serial = std::make_unique<SerialDevice>(devicePath, "115200,n,8,1", 0, kBufferSize, std::move(opener));
    serial->SetReaderPause(this->pacing.readerPause);
    serial->SetReaderThread(this->pacing.readerThread);
    AppLog("SerialDevice Ok");
    std::this_thread::sleep_for(this->pacing.openWait);
    AppLog("SerialOpen");
    openedAt = std::chrono::steady_clock::now();
    onlineFlag = serial->Open(HolderCheck::kLook);
    const std::string first = FirstNote(onlineFlag ? kPortOpenedNote : kPortNotOpenedText, portName);
    CmdLog(Bytes(first.c_str()), static_cast<int>(first.size()));
    AppLog(onlineFlag ? "SerialOpen Ok" : "SerialOpen NOk");
    nextSeq = -1;
    respState = RespState::kNewBlock;
    respTotal = 0;
}

EcfLink::~EcfLink() = default;

bool EcfLink::Start()
{
    AppLog("Start");
    if (!serial->Open())
        return false;
    serial->Purge();
    return true;
}

void EcfLink::End()
{
    AppLog("End");
    serial->Close();
}

void EcfLink::CmdLog(const uint8_t* bytes, int length, TrafficDirection direction, int observed)
{
    // The log only marks that traffic passed; the bytes themselves go to the observer alone.
    if (length == 0)
        return;
    AppLog("CmdLog");
    if (observer && observed > 0) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - openedAt);
        observer({direction, ms.count(), bytes, static_cast<size_t>(observed)});
    }
    AppLog("CmdLog Ok");
}

bool EcfLink::Wait()
{
    ++pollsSinceWrite;
    if (pacing.wait)
        pacing.wait(pacing.step);
    else
        std::this_thread::sleep_for(pacing.step);
    // A line that the system reports gone will never answer: waiting on would only send the
    // technician to look at the printer instead of the cable.
    return !LineLost() && !(pollHook && pollHook());
}

bool EcfLink::LineLost()
{
    if (serial->LineLost() == 0) {
        lossNoted = false;  // a port opened again, with its line there
        return false;
    }
    if (!lossNoted) {
        lossNoted = true;
        AppLog("SerialLost " + std::to_string(serial->LineLost()));
        CmdLog(Bytes(kLineLostNote), sizeof kLineLostNote - 1);
        // The printer may come back with another adapter, or after a reset: ask for its number.
        nextSeq = -1;
    }
    return true;
}

std::string EcfLink::LineLostText()
{
    const std::string where = NetworkPortWhere(devicePath);
    if (where.empty())
        return ErrorText(kLinkErrorClass, kLinkLineLost);
    return FillIn(IsTurnedAway(serial->LineLost()) ? kServerBusyText : kConnectionLostText, {{"where", where}});
}

int EcfLink::NoAnswerDetail()
{
    if (LineLost())
        return kLinkLineLost;  // noted already
    // Otherwise nothing in the traffic would show that the wait ended.
    const std::string note = NoAnswerNote(pollsSinceWrite * pacing.step.count());
    CmdLog(Bytes(note.c_str()), static_cast<int>(note.size()));
    return kLinkNoAnswer;
}

int EcfLink::WriteFailure(int writeFailed, int noAnswer)
{
    return LineLost() ? Fail(kLinkErrorClass, kLinkLineLost, noAnswer) : writeFailed;
}

void EcfLink::SetError(int errorClass, int errorDetail)
{
    errClass = errorClass;
    errDetail = errorDetail;
}
