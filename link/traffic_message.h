// One decoded message of the traffic: what the decoder makes of the runs, and what the trace
// format and the traffic view show. Its own header so that the format needs no decoder.
#pragma once

#include "link/traffic.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TrafficMessage {
    int64_t ms = 0;  // when its first byte was seen
    TrafficDirection direction = TrafficDirection::kNote;
    std::vector<uint8_t> raw;  // its bytes as they went over the line; a note's text
    // Windows-1252, one line (TrafficMeaning shows it); empty for a write that failed, whose text
    // is the trace format's.
    std::string meaning;
    // The part of raw that reads as text (parameters, block data), shown after the meaning.
    size_t textBegin = 0;
    size_t textEnd = 0;
    bool cut = false;  // incomplete: the other side interrupted it, a pause or the end cut it
};
