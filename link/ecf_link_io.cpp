// The link's I/O steps: writing a frame, reading the printer's bytes, one poll's wait, failing
// an exchange, and what the traffic and the error pair record of them.
#include "link/ecf_link.h"

#include "base/log.h"
#include "vocab/address_words.h"
#include "vocab/error_text.h"
#include "vocab/filling.h"
#include "vocab/status_words.h"
#include "vocab/traffic_notes.h"

#include <algorithm>
#include <thread>

int EcfLink::PollAvailable(int count, int polls)
{
    // Each poll waits first and looks afterwards, as the printer's timing expects.
    int used = 0;
    while (used < polls) {
        ++used;
        if (!Wait() || serial->Available() >= count)
            break;
    }
    return used;
}

bool EcfLink::WriteSerial(int n)
{
    AppLog("WriteSerial");
    const bool sent = serial->Write(txBuf.get(), n);
    pollsSinceWrite = 0;
    AppLog(sent ? "WriteSerial Ok" : "WriteSerial Erro");
    CmdLog(txBuf.get(), n, sent ? TrafficDirection::kSent : TrafficDirection::kNotSent, n);
    return sent;
}

void EcfLink::Fail(int errorClass, int errorDetail)
{
    SetError(errorClass, errorDetail);
    serial->Purge();
    respState = RespState::kNewBlock;
    respTotal = 0;
}

int EcfLink::ReadSerial(int n)
{
    AppLog("ReadSerial");
    const int taken = static_cast<int>(serial->Read(rxBuf.get(), static_cast<uint32_t>(n)));
    AppLog("ReadSerial Ok");
    // The log tags count the bytes asked for; the observer gets those that really came.
    CmdLog(rxBuf.get(), n, TrafficDirection::kReceived, taken);
    return taken;
}

int EcfLink::GetSerial(int& pollsLeft)
{
    int previous = serial->Available();
    if (previous == 0)
        return 0;
    for (;;) {
        if (pollsLeft <= 0)
            return -1;
        --pollsLeft;
        if (!Wait())
            return previous;
        const int now = serial->Available();
        if (now >= kBufferSize)
            return kBufferSize;
        if (now <= previous)
            return previous;
        previous = now;
    }
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

void EcfLink::Note(const std::string& text)
{
    CmdLog(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
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
    if (!serial->LineLost()) {
        lossNoted = false;  // a port opened again, with its line there
        return false;
    }
    if (!lossNoted) {
        lossNoted = true;
        AppLog("SerialLost " + std::to_string(serial->LineLost().code));
        Note(kLineLostNote);
        // The printer may come back with another adapter, or after a reset: ask for its number.
        nextSeq = -1;
    }
    return true;
}

std::string EcfLink::LineLostText()
{
    const std::string where = port.Where();
    if (where.empty())
        return ErrorText(kLinkErrorClass, kLinkLineLost);
    const char* text = kConnectionLostText;
    switch (serial->LineLost().kind) {
    case LineLoss::kTurnedAway:
        text = kServerBusyText;
        break;
    case LineLoss::kSpeaksTelnet:
        text = kServerSpeaksTelnetText;
        break;
    case LineLoss::kServerSilent:
        text = kServerSilentText;
        break;
    default:
        break;
    }
    return FillIn(text, {{"where", where}});
}

int EcfLink::NoAnswerDetail()
{
    if (LineLost())
        return kLinkLineLost;  // noted already
    // Otherwise nothing in the traffic would show that the wait ended.
    const std::string note = NoAnswerNote(pollsSinceWrite * pacing.step.count());
    Note(note);
    // A serial server that stopped answering would otherwise send the technician to the printer.
    return FarEndSilent() ? kLinkLineLost : kLinkNoAnswer;
}

bool EcfLink::FarEndSilent()
{
    // A wait that a cancel cut short tells nothing of the far end.
    if ((pollHook && pollHook()) || !serial->AskFarEnd())
        return false;
    // The port gives the far end its time; the polls only bound the wait should its reader stall.
    const int polls =
        static_cast<int>(2 * kFarEndAnswerWait / std::max(pacing.step, std::chrono::milliseconds(1)));
    for (int poll = 0; poll < polls && !serial->FarEndAnswered(); ++poll) {
        if (!Wait())
            break;
    }
    return LineLost();
}

bool EcfLink::LostLineFailed()
{
    if (!LineLost())
        return false;
    Fail(kLinkErrorClass, kLinkLineLost);
    return true;
}

void EcfLink::SetError(int errorClass, int errorDetail)
{
    errClass = errorClass;
    errDetail = errorDetail;
}
