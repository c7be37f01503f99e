// Decoded traffic as text: the one-line form that kestro-cli's trace and the traffic view's
// "Salvar..." write, and its parts, folded for the view.
#pragma once

#include "link/traffic_message.h"
#include "trace/trace_line.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Windows-1252 bytes on one line: control bytes show as '.'.
std::string PrintableText(const uint8_t* bytes, size_t length);

// "→" sent, "←" received, "·" the link's note.
const char* TrafficArrow(TrafficDirection direction);
// The meaning, then its text in quotes; with a limit, at most that many bytes of the text. This and
// TrafficHex are where the traffic's Windows-1252 texts turn into UTF-8, for the view and the trace.
std::string TrafficMeaning(const TrafficMessage& message, size_t maxTextBytes = SIZE_MAX);
// The wire bytes in hexadecimal ("01 05 14"); with a limit, at most that many of them. Empty
// for a note.
std::string TrafficHex(const TrafficMessage& message, size_t maxBytes = SIZE_MAX);
// "    212 ms  →  ACK: comando aceito  [06]", without a line end: the trace file's line.
std::string TrafficLine(const TrafficMessage& message);
