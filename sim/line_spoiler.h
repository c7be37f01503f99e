// A bad line between the simulated printer and the host: whole answers left out, single bits
// flipped in the bytes sent, drawn from one seeded generator so that a run can be repeated.
#pragma once

#include "sim/frame_reader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

// One thing the line spoiled, in the answer to one host message.
struct SimSpoil {
    enum class Kind { Dropped, Flipped };
    Kind kind = Kind::Dropped;
    uint64_t answer = 0;                            // the answers counted from 1
    HostMessage::Kind to = HostMessage::Kind::Syn;  // the host message answered
    uint64_t frame = 0;     // the frame that message belongs to: a SYN the next one, an ENQ the last
    size_t offset = 0;      // Flipped: the byte's place in the answer...
    size_t answerSize = 0;  // ...the answer's bytes so far, that byte's run included...
    uint8_t sent = 0;       // ...what it was, and what went out instead
    uint8_t spoiled = 0;
};

// "descartou a resposta ao quadro 3", "trocou um bit do byte 9 da resposta ao ENQ do quadro 3: 0C enviado
// como 8C".
std::string SpoilText(const SimSpoil& spoil);

struct LineSpoils {
    double noise = 0;                             // the chance that a byte sent has one of its bits flipped
    double drop = 0;                              // the chance that a whole answer is left out
    uint32_t seed = 0;                            // the same seed spoils the same answers of the same conversation
    std::function<void(const SimSpoil&)> report;  // told of every spoil, on the printer's thread
};

class LineSpoiler {
public:
    explicit LineSpoiler(const LineSpoils& spoils);
    // A new answer begins, to this host message: it is drawn whether it is left out.
    void BeginAnswer(HostMessage::Kind to, uint64_t frame);
    // Spoils one run of the answer's bytes; false when the answer is left out.
    bool Pass(std::vector<uint8_t>& bytes);

private:
    void Report(SimSpoil spoil);

    LineSpoils spoils;
    std::mt19937 rng;
    SimSpoil answer;  // the answer in progress
    uint64_t answers = 0;
    bool dropped = false;
    bool dropNoted = false;
};
