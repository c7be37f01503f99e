// kestro-cli's texts around a command: its echo, its results and the identification's labels;
// Windows-1252, with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

// send, before the command goes out: the request, then its parameters or that there are none.
constexpr char kSendEchoText[] = "Enviando para {port}: comando {command}, extens\343o {extension}";
constexpr char kNoParamsText[] = ", sem par\342metros";
constexpr char kParamsText[] = ", par\342metros";
// send, when the response was longer than what is kept.
constexpr char kResponseCutText[] = "Resposta cortada: {shown} de {total} bytes";
// lx, when the printer took the X reading.
constexpr char kReadingXDoneText[] = "Leitura X emitida.";
// The identification's items, as the window's header labels them.
constexpr char kModelLabel[] = "Modelo: ";
constexpr char kSerialNumberLabel[] = "NS MF: ";
constexpr char kBasicSoftwareLabel[] = "SB: ";
// The trace file given could not be opened; the output could not be written. {reason} is
// ErrorReason's; {path} is the system's (UTF-8): FillInUtf8.
constexpr char kTraceNotOpenedText[] = "n\343o foi poss\355vel abrir {path}: {reason}";
constexpr char kOutputNotWrittenText[] = "a sa\355da n\343o p\364de ser escrita: {reason}";

// Every text above, for tests.
constexpr const char* kCommandWords[] = {
    kSendEchoText,      kNoParamsText,       kParamsText,         kResponseCutText,      kReadingXDoneText,
    kModelLabel,        kSerialNumberLabel,  kBasicSoftwareLabel, kTraceNotOpenedText,   kOutputNotWrittenText};
