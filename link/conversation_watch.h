// Follows a conversation between another program and the printer that a relay passes on: the
// traffic decoder's messages, with how long each answer took, the answers that did not come in
// the protocol's waits, and messages cut short by a pause; and the conversation's summary.
#pragma once

#include "link/link_pacing.h"
#include "link/traffic_decoder.h"

#include <cstdint>
#include <vector>

struct ConversationSummary {
    struct Refusal {
        int command = 0;
        int errorClass = 0;
        int errorDetail = 0;
    };
    int commands = 0;              // the host's frames
    int refusedCount = 0;          // the printer's NAKs to them
    std::vector<Refusal> refused;  // the first kKeptRefusals of them
    int unanswered = 0;            // the host's requests that the printer let pass unanswered
    int64_t longestAnswerMs = -1;  // -1 until an answer came

    static constexpr size_t kKeptRefusals = 50;
};

class ConversationWatch {
public:
    // The waits are the link's: what the other program may wait for is what the printer promises.
    explicit ConversationWatch(LinkPacing pacing = {});

    // Appends the messages this run completes.
    void Feed(const TrafficRun& run, std::vector<TrafficMessage>& out);
    // The time now, on the runs' clock: a message that has waited a pause for its next byte is
    // cut short; an answer that has not come within its wait is noted as missing.
    void Tick(int64_t nowMs, std::vector<TrafficMessage>& out);
    // The end: what is still incomplete.
    void Flush(std::vector<TrafficMessage>& out);
    const ConversationSummary& Summary() const { return summary; }

    // A message with no byte for this long is cut: the printer refuses such a frame then.
    static constexpr int64_t kPauseMs = 500;

private:
    // Times and counts what the decoder just added to `out` from `from` on.
    void Follow(std::vector<TrafficMessage>& out, size_t from, int64_t runMs);
    void Asked(const TrafficMessage& message, int64_t runMs);
    void Answered(TrafficMessage& message);

    TrafficDecoder decoder;
    ConversationSummary summary;
    const int64_t answerWaitMs;
    const int64_t headerWaitMs;
    int64_t lastRunMs = 0;
    // The host's request waiting for its answer.
    bool asking = false;
    int64_t askedAt = 0;
    int64_t askWaitMs = 0;
    int askCommand = -1;  // the frame's command; -1 for SYN and ENQ
};
