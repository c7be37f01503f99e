// What a link hands to whoever watches its traffic: each byte run as it went over the line or
// was noted by the link, with its direction and its time since the link opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

enum class TrafficDirection {
    kSent,      // host to printer, written
    kReceived,  // printer to host, taken from the receive buffer
    kNote,      // the link's own text, such as "Conectado"; no wire bytes
    kNotSent,   // host to printer, but the write failed
};

struct TrafficRun {
    TrafficDirection direction = TrafficDirection::kNote;
    int64_t ms = 0;  // milliseconds since the link opened, on a monotonic clock
    const uint8_t* bytes = nullptr;
    size_t length = 0;
};

// Called on the link's thread, inside the link's operation: it must not use the link.
using TrafficObserver = std::function<void(const TrafficRun&)>;
