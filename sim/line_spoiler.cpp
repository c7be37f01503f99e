// The bad line's draws and how they are told.
#include "sim/line_spoiler.h"

#include <cstdio>

namespace {

// A number in [0, 1) from the engine's own output, so that a seed spoils the same bytes with
// every standard library.
double Chance(std::mt19937& rng) { return rng() / 4294967296.0; }

// "resposta ao ENQ do quadro 3": Portuguese, as every text a technician meets.
std::string AnswerTo(const SimSpoil& spoil)
{
    const std::string frame = "quadro " + std::to_string(spoil.frame);
    switch (spoil.to) {
    case HostMessage::Kind::Syn:
        return "resposta ao SYN antes do " + frame;
    case HostMessage::Kind::Enq:
        return "resposta ao ENQ do " + frame;
    default:
        return "resposta ao " + frame;
    }
}

}  // namespace

std::string SpoilText(const SimSpoil& spoil)
{
    if (spoil.kind == SimSpoil::Kind::Dropped)
        return "descartou a " + AnswerTo(spoil);
    char bytes[40];
    std::snprintf(bytes, sizeof bytes, ": %02X enviado como %02X", spoil.sent, spoil.spoiled);
    return "trocou um bit do byte " + std::to_string(spoil.offset) + " da " + AnswerTo(spoil) + bytes;
}

LineSpoiler::LineSpoiler(const LineSpoils& spoils) : spoils(spoils), rng(spoils.seed) {}

void LineSpoiler::BeginAnswer(HostMessage::Kind to, uint64_t frame)
{
    answer = {};
    answer.answer = ++answers;
    answer.to = to;
    answer.frame = frame;
    dropped = spoils.drop > 0 && Chance(rng) < spoils.drop;
    dropNoted = false;
}

bool LineSpoiler::Pass(std::vector<uint8_t>& bytes)
{
    if (dropped) {
        // Told once, and only when there was an answer to leave out.
        if (!dropNoted && !bytes.empty())
            Report(answer);
        dropNoted = true;
        return false;
    }
    const size_t start = answer.answerSize;
    answer.answerSize += bytes.size();
    if (spoils.noise <= 0)
        return true;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (Chance(rng) >= spoils.noise)
            continue;
        SimSpoil flip = answer;
        flip.kind = SimSpoil::Kind::Flipped;
        flip.offset = start + i;
        flip.sent = bytes[i];
        bytes[i] = static_cast<uint8_t>(bytes[i] ^ (1u << (rng() % 8)));
        flip.spoiled = bytes[i];
        Report(flip);
    }
    return true;
}

void LineSpoiler::Report(SimSpoil spoil)
{
    if (spoils.report)
        spoils.report(spoil);
}
