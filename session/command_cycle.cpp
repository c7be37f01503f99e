// The command cycle: display codes, status texts and log tags of every step.
#include "session/command_cycle.h"

#include "base/log.h"
#include "serial/system.h"
#include "session/port_texts.h"
#include "vocab/connect_words.h"
#include "vocab/error_text.h"
#include "vocab/status_words.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Runs EndCmd when a started command's exchange in RetResp ends, by any path.
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

CommandCycle::CommandCycle(CycleDisplay& display) : display(display), blockBuffer(EcfLink::kBufferSize) {}

CommandCycle::~CommandCycle() { SetLink(nullptr); }

void CommandCycle::SetLink(EcfLink* newLink)
{
    if (link != nullptr)
        link->SetPollHook({});
    link = newLink;
    // A link whose port did not open is a command that could not start.
    if (link != nullptr && !link->online()) {
        startFailed = true;
        saidText = OpenFailedText();
        Conclude(false);
    }
    if (link != nullptr)
        link->SetPollHook([this] { return Poll(); });
}

bool CommandCycle::Poll()
{
    display.ProcessMessages();
    return CancelRequested();
}

CommandCycle::Sequence::Sequence(CommandCycle& cycle) : cycle(cycle)
{
    if (cycle.sequenceDepth++ == 0) {
        cycle.cancelRequest = false;
        cycle.shownPair = {};
        cycle.sequenceOutcome = {};
    }
}

CommandCycle::Sequence::~Sequence() { --cycle.sequenceDepth; }

bool CommandCycle::StartCmd()
{
    startFailed = false;
    busyAnswers = 0;
    acknowledged = false;
    refused = false;
    writeFailed = false;
    cancelEnded = false;
    busyGivenUp = false;
    saidText.clear();
    if (link->Start())
        return true;
    startFailed = true;
    // The traffic tells why as the status line does: another program may have taken the port
    // since the last command.
    const std::string why = OpenFailedText();
    link->Note(OneLine(why));
    Say(why);
    return false;
}

std::string CommandCycle::OpenFailedText() const
{
    const PortStatus& failure = link->OpenFailure();
    if (failure.error != CancelledError())
        return openFailureWords ? openFailureWords(failure) : OpenFailureText(failure);
    return FillIn(kConnectCancelledText, {{"where", failure.where.empty() ? link->DevicePath() : failure.where}});
}

void CommandCycle::Say(const std::string& text)
{
    saidText = text;
    display.SetSt(text);
}

void CommandCycle::ShowLinkError()
{
    display.ShowCmd(kShowIdle);
    shownPair = {link->ErrClass(), link->ErrDetail()};
    Say(link->GetError());
}

bool CommandCycle::EndsForCancel(const char* tag, bool waitCut)
{
    if (!waitCut || !CancelRequested())
        return false;
    AppLog(tag);
    ShowLinkError();
    cancelEnded = true;
    return true;
}

void CommandCycle::ShowBlock(int code)
{
    display.ShowCmd(code);
    if (display.PausesAfterBlocks())
        display.Wait(kReceivedPause);
}

void CommandCycle::ShowBusy()
{
    ++busyAnswers;
    display.ShowCmd(kShowBusy, true);
    const std::chrono::milliseconds step = display.WaitStep();
    for (std::chrono::milliseconds spent {0}; spent < kCancelShownPause && !CancelRequested() && !link->LineLost();
         spent += step)
        display.Wait(step);
    // The cycle asks again after a busy answer for as long as nobody cancels, or until then.
    if (busyDeadline && std::chrono::steady_clock::now() >= *busyDeadline) {
        busyGivenUp = true;
        RequestCancel();
    }
}

void CommandCycle::Conclude(bool done)
{
    CommandOutcome ended;
    // A failed write leaves the link's pair cleared: no pair at all.
    if (link->ErrClass() != kLinkErrorClass || link->ErrDetail() != kLinkCleared)
        ended.pair = {link->ErrClass(), link->ErrDetail()};
    ended.text = saidText;
    if (startFailed) {
        ended.kind = CommandOutcome::kNotOpened;
        ended.openFailure = link->OpenFailure();
    } else if (done) {
        ended = {};
    } else if (link->LineLost()) {
        ended.kind = CommandOutcome::kLineLost;
        // The status line may have said "no answer" before the loss was seen.
        if (ended.pair.errClass != kLinkErrorClass || ended.pair.errDetail != kLinkLineLost)
            ended.text = link->LineLostText();
    } else if (busyGivenUp) {
        ended.kind = CommandOutcome::kBusyGivenUp;
    } else if (cancelEnded) {
        ended.kind = CommandOutcome::kCancelled;
    } else if (writeFailed) {
        ended.kind = CommandOutcome::kNotSent;
    } else if (refused) {
        ended.kind = CommandOutcome::kRefused;
        ended.inResponse = acknowledged;
    } else {
        const bool invalid = ended.pair.errClass == kLinkErrorClass && ended.pair.errDetail == kLinkInvalidAnswer;
        ended.kind = invalid ? CommandOutcome::kInvalidAnswer : CommandOutcome::kNoAnswer;
    }
    outcome = ended;
    if (outcome.kind != CommandOutcome::kDone)
        sequenceOutcome = outcome;
}

bool CommandCycle::SendCmd()
{
    AppLog("SendCmd ini");
    for (;;) {
        if (EndsForCancel("SendCmd Cancel"))
            return false;
        display.ShowCmd(kShowSending);
        const EcfLink::SendResult sent = link->SendCmd();
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
            ShowBusy();
            break;
        case EcfLink::kWriteFailed:
            AppLog("SendCmd WRI");
            display.ShowCmd(kShowIdle);
            writeFailed = true;
            Say(kSendFailedText);
            return false;
        default:
            AppLog("SendCmd LNE");
            refused = sent == EcfLink::kRefused;
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
        if (EndsForCancel("RecebeBuffer Cancel", result == EcfLink::kRespShort || result == EcfLink::kRespBusy))
            return kCancelled;
        if (result >= 0) {
            AppLog("RecebeBuffer RECEIVE");
            ShowBlock(kShowReceiving);
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
            refused = true;
            ShowLinkError();
            return kFailed;
        case EcfLink::kRespBusy:
            AppLog("RecebeBuffer WAK");
            ShowBusy();
            break;
        case EcfLink::kRespMore:
            AppLog("RecebeBuffer MOR");
            ShowBlock(kShowPartial);
            break;
        case EcfLink::kRespWriteFailed:
            AppLog("RecebeBuffer WRI");
            display.ShowCmd(kShowIdle);
            writeFailed = true;
            Say(kRequestFailedText);
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
    if (!StartCmd()) {
        Conclude(false);
        return kNotStarted;
    }
    const int result = SendCmd() ? RecebeBuffer(destination, capacity, received) : kFailed;
    EndCmd();
    Conclude(result == kDone);
    AppLog("ExecCmd Fim");
    return result;
}

const CommandOutcome& CommandCycle::Sync()
{
    startFailed = false;
    busyAnswers = 0;
    refused = false;
    cancelEnded = false;
    busyGivenUp = false;
    saidText.clear();
    const bool synced = link->Sync();
    // Only a failed write leaves the pair cleared; a pair of the printer's is its status.
    const bool cleared = link->ErrClass() == kLinkErrorClass && link->ErrDetail() == kLinkCleared;
    busyGivenUp = !synced && link->ErrClass() != kLinkErrorClass;
    writeFailed = !synced && cleared;
    if (!synced && !busyGivenUp)
        saidText = cleared ? std::string(kSendFailedText) : link->GetError();
    Conclude(synced);
    return outcome;
}

std::string CommandCycle::RetResp(int index)
{
    AppLog("RetResp");
    const Sequence sequence(*this);
    if (!StartCmd()) {
        Conclude(false);
        return std::to_string(kNotStarted);
    }
    bool done = false;
    std::vector<std::string> fields;
    {
        EndGuard end(*this);
        std::vector<uint8_t> response(kResponseSize);
        done = SendCmd() && RecebeBuffer(response.data(), response.size()) == kDone;
        if (done)
            fields = LeParam(reinterpret_cast<const char*>(response.data()));
    }
    Conclude(done);
    return done ? fields.at(static_cast<size_t>(index)) : std::string();
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
