// The command cycle: display codes, status texts and log tags of every step.
#include "session/command_cycle.h"

#include "base/log.h"
#include "session/port_texts.h"
#include "vocab/status_words.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Runs EndCmd when a started command leaves RetResp by any path, the index error included.
class EndGuard {
public:
    explicit EndGuard(CommandCycle& cycle) : cycle(cycle) {}
    ~EndGuard() { cycle.EndCmd(); }
    EndGuard(const EndGuard&) = delete;
    EndGuard& operator=(const EndGuard&) = delete;

private:
    CommandCycle& cycle;
};

}  // namespace

CommandCycle::CommandCycle(CycleDisplay& display) : display(display), blockBuffer(EcfLink::kBufferSize)
{
    display.SetPauseGuard([this] { return !CancelRequested() && !(link != nullptr && link->LineLost()); });
}

CommandCycle::~CommandCycle()
{
    display.SetPauseGuard({});
    SetLink(nullptr);
}

void CommandCycle::SetLink(EcfLink* newLink)
{
    if (link != nullptr)
        link->SetPollHook({});
    link = newLink;
    if (link != nullptr) {
        link->SetPollHook([this] {
            display.ProcessMessages();
            return CancelRequested();
        });
    }
}

CommandCycle::Sequence::Sequence(CommandCycle& cycle) : cycle(cycle)
{
    if (cycle.sequenceDepth++ == 0) {
        cycle.cancelRequest = false;
        cycle.shownPair = {};
    }
}

CommandCycle::Sequence::~Sequence() { --cycle.sequenceDepth; }

bool CommandCycle::StartCmd()
{
    busyAnswers = 0;
    acknowledged = false;
    lastSent = EcfLink::kAck;
    lastReceived = 0;
    if (link->Start())
        return true;
    // The traffic tells why as the status line does: another program may have taken the port
    // since the last command.
    const std::string why = OpenFailureText(link->OpenFailure());
    link->Note(why);
    display.SetSt(why);
    return false;
}

void CommandCycle::ShowLinkError()
{
    display.ShowCmd(kShowIdle);
    shownPair = {link->ErrClass(), link->ErrDetail()};
    display.SetSt(link->GetError());
}

bool CommandCycle::EndsForCancel(const char* tag, bool waitCut)
{
    if (!waitCut || !CancelRequested())
        return false;
    AppLog(tag);
    ShowLinkError();
    return true;
}

bool CommandCycle::SendCmd()
{
    AppLog("SendCmd ini");
    for (;;) {
        if (EndsForCancel("SendCmd Cancel"))
            return false;
        display.ShowCmd(kShowSending);
        const EcfLink::SendResult sent = link->SendCmd();
        lastSent = sent;
        if (EndsForCancel("SendCmd Cancel", sent == EcfLink::kNoAnswer || sent == EcfLink::kBusy))
            return false;
        switch (sent) {
        case EcfLink::kAck:
            AppLog("SendCmd ACK");
            display.ShowCmd(kShowIdle);
            acknowledged = true;
            return true;
        case EcfLink::kBusy:
            AppLog("SendCmd WAK");
            ++busyAnswers;
            display.ShowCmd(kShowBusy, true);
            break;
        case EcfLink::kWriteFailed:
            AppLog("SendCmd WRI");
            display.ShowCmd(kShowIdle);
            display.SetSt(kSendFailedText);
            return false;
        default:
            AppLog("SendCmd LNE");
            ShowLinkError();
            return false;
        }
    }
}

int CommandCycle::RecebeBuffer(uint8_t* destination, size_t capacity, size_t* received)
{
    AppLog("RecebeBuffer");
    if (capacity == 0)
        destination = nullptr;
    size_t position = 0;
    size_t total = 0;
    bool cut = false;
    for (;;) {
        if (EndsForCancel("RecebeBuffer Cancel"))
            return kCancelled;
        display.ShowCmd(kShowAsking);
        const int result = link->GetResp(blockBuffer.data());
        lastReceived = result;
        if (EndsForCancel("RecebeBuffer Cancel", result == EcfLink::kRespShort || result == EcfLink::kRespBusy))
            return kCancelled;
        if (result >= 0) {
            AppLog("RecebeBuffer RECEIVE");
            display.ShowCmd(kShowReceiving);
            total += static_cast<size_t>(result);
            if (destination != nullptr) {
                // Keep room for the closing zero; what does not fit is still read off the line.
                const size_t room = capacity - 1 - position;
                const size_t n = std::min(static_cast<size_t>(result), room);
                std::memcpy(destination + position, blockBuffer.data(), n);
                position += n;
                if (n < static_cast<size_t>(result) && !cut)
                    AppLog("RecebeBuffer CUT");
                cut = cut || n < static_cast<size_t>(result);
            }
            continue;
        }
        switch (result) {
        case EcfLink::kRespEnd:
            AppLog("RecebeBuffer FIM");
            display.ShowCmd(kShowIdle);
            if (destination != nullptr)
                destination[position] = 0;
            if (received != nullptr)
                *received = total;
            return kDone;
        case EcfLink::kRespError:
            AppLog("RecebeBuffer ERR");
            ShowLinkError();
            return kFailed;
        case EcfLink::kRespBusy:
            AppLog("RecebeBuffer WAK");
            ++busyAnswers;
            display.ShowCmd(kShowBusy, true);
            break;
        case EcfLink::kRespMore:
            AppLog("RecebeBuffer MOR");
            display.ShowCmd(kShowPartial);
            break;
        case EcfLink::kRespWriteFailed:
            AppLog("RecebeBuffer WRI");
            display.ShowCmd(kShowIdle);
            display.SetSt(kRequestFailedText);
            return kRequestFailed;
        default:  // a short or late response
            AppLog("RecebeBuffer LEN");
            ShowLinkError();
            return kLate;
        }
    }
}

void CommandCycle::EndCmd() { link->End(); }

int CommandCycle::ExecCmd(uint8_t* destination, size_t capacity, size_t* received)
{
    AppLog("ExecCmd");
    const Sequence sequence(*this);
    if (!StartCmd())
        return kNotStarted;
    const int result = SendCmd() ? RecebeBuffer(destination, capacity, received) : kFailed;
    EndCmd();
    AppLog("ExecCmd Fim");
    return result;
}

std::string CommandCycle::RetResp(int index)
{
    AppLog("RetResp");
    const Sequence sequence(*this);
    lastStartFailed = !StartCmd();
    if (lastStartFailed)
        return std::to_string(kNotStarted);
    EndGuard end(*this);
    if (!SendCmd())
        return "";
    std::vector<uint8_t> response(kResponseSize);
    if (RecebeBuffer(response.data(), response.size()) != 0)
        return "";
    const std::vector<std::string> fields = LeParam(reinterpret_cast<const char*>(response.data()));
    return fields.at(static_cast<size_t>(index));
}

std::vector<std::string> CommandCycle::LeParam(const std::string& text)
{
    AppLog("LeParam");
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return fields;
}
