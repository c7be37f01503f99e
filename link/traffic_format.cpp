// Decoded traffic as text, whole or folded.
#include "link/traffic_format.h"

#include "vocab/cp1252.h"
#include "vocab/filling.h"
#include "vocab/traffic_words.h"

namespace {

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

// The meaning and its text, Windows-1252 as the decoder and the line have them.
std::string MeaningWithText(const TrafficMessage& message, size_t maxTextBytes)
{
    if (message.textEnd <= message.textBegin)
        return message.meaning;
    const size_t length = message.textEnd - message.textBegin;
    const size_t shown = length < maxTextBytes ? length : maxTextBytes;
    const std::string text = PrintableText(message.raw.data() + message.textBegin, shown);
    if (shown == length)
        return FillIn(kQuotedText, {{"meaning", message.meaning}, {"text", text}});
    return FillIn(kQuotedCutText,
                  {{"meaning", message.meaning}, {"text", text}, {"total", std::to_string(length)}});
}

}  // namespace

std::string PrintableText(const uint8_t* bytes, size_t length)
{
    std::string text(bytes, bytes + length);
    for (char& c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = '.';
    }
    return text;
}

const char* TrafficArrow(TrafficDirection direction) { return TraceArrow(TrafficWay(direction)); }

std::string TrafficMeaning(const TrafficMessage& message, size_t maxTextBytes)
{
    // The replay tells a failed write by this text, and trace/, which includes nothing, keeps it
    // in UTF-8 as trace files have it.
    if (message.direction == TrafficDirection::kNotSent)
        return kTraceNotSent;
    return Cp1252ToUtf8(MeaningWithText(message, maxTextBytes));
}

std::string TrafficHex(const TrafficMessage& message, size_t maxBytes)
{
    if (message.direction == TrafficDirection::kNote)
        return {};
    const size_t total = message.raw.size();
    const size_t shown = total < maxBytes ? total : maxBytes;
    const std::string hex = HexBytes(message.raw.data(), shown);
    return shown < total ? Cp1252ToUtf8(FillIn(kCutHex, {{"hex", hex}, {"total", std::to_string(total)}})) : hex;
}

std::string TrafficLine(const TrafficMessage& message)
{
    return FormatTraceLine(message.ms, TrafficWay(message.direction), TrafficMeaning(message), message.raw.data(),
                           message.raw.size());
}
