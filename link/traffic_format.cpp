// Decoded traffic as text, whole or folded.
#include "link/traffic_format.h"

#include "vocab/cp1252.h"

#include <cstdio>

namespace {

const char kFold[] = "\xE2\x80\xA6";  // "…"

std::string Folded(size_t total) { return std::string(kFold) + " (" + std::to_string(total) + " bytes)"; }

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

const char* TrafficArrow(TrafficDirection direction)
{
    switch (direction) {
    case TrafficDirection::kSent:
    case TrafficDirection::kNotSent:
        return "\xE2\x86\x92";
    case TrafficDirection::kReceived:
        return "\xE2\x86\x90";
    case TrafficDirection::kNote:
        break;
    }
    return "\xC2\xB7";
}

std::string TrafficMeaning(const TrafficMessage& message, size_t maxTextBytes)
{
    if (message.textEnd <= message.textBegin)
        return message.meaning;
    const size_t length = message.textEnd - message.textBegin;
    const size_t shown = length < maxTextBytes ? length : maxTextBytes;
    std::string text = message.meaning + ": \"" + ReadableText(message.raw.data() + message.textBegin, shown);
    return shown < length ? text + kFold + "\" (" + std::to_string(length) + " bytes)" : text + "\"";
}

std::string HexByte(uint8_t byte)
{
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0xF]};
}

std::string HexBytes(const uint8_t* bytes, size_t length)
{
    std::string hex;
    hex.reserve(length * 3 + 24);
    for (size_t i = 0; i < length; ++i) {
        if (i > 0)
            hex += ' ';
        hex += HexByte(bytes[i]);
    }
    return hex;
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
    char time[32];
    std::snprintf(time, sizeof time, "%7lld ms  ", static_cast<long long>(message.ms));
    std::string line = time + std::string(TrafficArrow(message.direction)) + "  " + TrafficMeaning(message);
    const std::string hex = TrafficHex(message);
    return hex.empty() ? line : line + "  [" + hex + "]";
}
