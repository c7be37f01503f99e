// kestro-cli's texts around a command: its echo, its results and the identification's labels,
// with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/text.h"

// send, before the command goes out: the request, then its parameters or that there are none.
constexpr const char* kSendEchoText = "Enviando para {port}: comando {command}, extensão {extension}"_cp1252;
constexpr const char* kNoParamsText = ", sem parâmetros"_cp1252;
constexpr const char* kParamsText = ", parâmetros"_cp1252;
// send, when the response was longer than what is kept.
constexpr const char* kResponseCutText = "Resposta cortada: {shown} de {total} bytes"_cp1252;
// lx, when the printer took the X reading.
constexpr const char* kReadingXDoneText = "Leitura X emitida."_cp1252;
// The identification's items, as the window's header labels them.
constexpr const char* kModelLabel = "Modelo: "_cp1252;
constexpr const char* kSerialNumberLabel = "NS MF: "_cp1252;
constexpr const char* kBasicSoftwareLabel = "SB: "_cp1252;
// The trace file given could not be opened; the output could not be written. {reason} is
// ErrorReason's; {path} is the system's: FillInUtf8.
constexpr const char* kTraceNotOpenedText = "não foi possível abrir {path}: {reason}"_cp1252;
constexpr const char* kOutputNotWrittenText = "a saída não pôde ser escrita: {reason}"_cp1252;
