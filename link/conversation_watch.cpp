// A watched conversation: the decoder's messages, timed and counted.
#include "link/conversation_watch.h"

#include "link/frame_layout.h"
#include "vocab/filling.h"
#include "vocab/monitor_words.h"
#include "vocab/traffic_notes.h"

#include <algorithm>

ConversationWatch::ConversationWatch(LinkPacing pacing)
    : answerWaitMs(pacing.AnswerWait().count()),
      headerWaitMs((pacing.step * pacing.headerPolls).count())
{
}

void ConversationWatch::Feed(const TrafficRun& run, std::vector<TrafficMessage>& out)
{
    if (run.length == 0)
        return;
    const size_t from = out.size();
    if (decoder.Holding() && run.ms - lastRunMs >= kPauseMs)
        decoder.Flush(out);
    lastRunMs = run.ms;
    decoder.Feed(run, out);
    Follow(out, from, run.ms);
}

void ConversationWatch::Tick(int64_t nowMs, std::vector<TrafficMessage>& out)
{
    const size_t from = out.size();
    if (decoder.Holding() && nowMs - lastRunMs >= kPauseMs)
        decoder.Flush(out);
    Follow(out, from, nowMs);
    if (!asking || nowMs - askedAt < askWaitMs)
        return;
    asking = false;
    ++summary.unanswered;
    TrafficMessage note;
    note.ms = askedAt + askWaitMs;
    note.meaning = NoAnswerNote(askWaitMs);
    note.raw.assign(note.meaning.begin(), note.meaning.end());
    out.push_back(std::move(note));
}

void ConversationWatch::Flush(std::vector<TrafficMessage>& out)
{
    const size_t from = out.size();
    decoder.Flush(out);
    Follow(out, from, lastRunMs);
}

void ConversationWatch::Follow(std::vector<TrafficMessage>& out, size_t from, int64_t runMs)
{
    for (size_t i = from; i < out.size(); ++i) {
        if (out[i].direction == TrafficDirection::kSent)
            Asked(out[i], runMs);
        else if (out[i].direction == TrafficDirection::kReceived)
            Answered(out[i]);
    }
}

void ConversationWatch::Asked(const TrafficMessage& message, int64_t runMs)
{
    const uint8_t first = message.raw[0];
    asking = !message.cut && (first == frame::kSyn || first == frame::kEnq || first == frame::kSoh);
    if (!asking)
        return;
    askedAt = runMs;
    askWaitMs = first == frame::kEnq ? headerWaitMs : answerWaitMs;
    askCommand = first == frame::kSoh ? message.raw[frame::kCmd] : -1;
    if (askCommand >= 0)
        ++summary.commands;
}

void ConversationWatch::Answered(TrafficMessage& message)
{
    if (!asking)
        return;
    asking = false;
    const int64_t took = std::max<int64_t>(0, message.ms - askedAt);
    if (took > summary.longestAnswerMs)
        summary.longestAnswerMs = took;
    message.meaning = FillIn(kAnswerTimeMeaning, {{"meaning", message.meaning}, {"ms", GroupedDigits(took)}});
    const bool refusal =
        askCommand >= 0 && !message.cut && message.raw.size() == 3 && message.raw[0] == frame::kNak;
    if (!refusal)
        return;
    ++summary.refusedCount;
    if (summary.refused.size() < ConversationSummary::kKeptRefusals)
        summary.refused.push_back({askCommand, message.raw[1], message.raw[2]});
}
