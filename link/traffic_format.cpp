// Decoded traffic as text, whole or folded.
#include "link/traffic_format.h"

#include "vocab/cp1252.h"

namespace {

const char kFold[] = "\xE2\x80\xA6";  // "…"

std::string Folded(size_t total) { return std::string(kFold) + " (" + std::to_string(total) + " bytes)"; }

// How a trace line names the run's direction.
TraceWay TrafficWay(TrafficDirection direction)
{
    switch (direction) {
    case TrafficDirection::kSent:
        return TraceWay::kHost;
    case TrafficDirection::kNotSent:
        return TraceWay::kNotSent;
    case TrafficDirection::kReceived:
        return TraceWay::kPrinter;
    case TrafficDirection::kNote:
        break;
    }
    return TraceWay::kNote;
}

}  // namespace

std::string ReadableText(const uint8_t* bytes, size_t length)
{
    std::string text(bytes, bytes + length);
    for (char& c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = '.';
    }
    return Cp1252ToUtf8(text);
}

const char* TrafficArrow(TrafficDirection direction) { return TraceArrow(TrafficWay(direction)); }

std::string TrafficMeaning(const TrafficMessage& message, size_t maxTextBytes)
{
    if (message.textEnd <= message.textBegin)
        return message.meaning;
    const size_t length = message.textEnd - message.textBegin;
    const size_t shown = length < maxTextBytes ? length : maxTextBytes;
    std::string text = message.meaning + ": \"" + ReadableText(message.raw.data() + message.textBegin, shown);
    return shown < length ? text + kFold + "\" (" + std::to_string(length) + " bytes)" : text + "\"";
}

std::string TrafficHex(const TrafficMessage& message, size_t maxBytes)
{
    if (message.direction == TrafficDirection::kNote)
        return {};
    const size_t total = message.raw.size();
    const size_t shown = total < maxBytes ? total : maxBytes;
    const std::string hex = HexBytes(message.raw.data(), shown);
    return shown < total ? hex + " " + Folded(total) : hex;
}

std::string TrafficLine(const TrafficMessage& message)
{
    return FormatTraceLine(message.ms, TrafficWay(message.direction), TrafficMeaning(message), message.raw.data(),
                           message.raw.size());
}
