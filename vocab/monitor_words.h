// The words of watching another program's conversation with the printer through a relay
// (kestro-cli monitor, the window's "Monitorar outro programa"), with {name} for what FillIn puts
// in (vocab/filling.h).
#pragma once

#include "vocab/text.h"

// In a frame's meaning, a sequence number that is not the one the printer expects.
constexpr const char* kUnexpectedSequence = "{seq} (esperada {expected})"_cp1252;
// After an answer's meaning: how long after the message it answers it came.
constexpr const char* kAnswerTimeMeaning = "{meaning}; resposta em {ms} ms"_cp1252;

// Notes in the traffic: the start (then the ports and the clock time), the other program on
// Kestro's own pseudo-terminal, a side lost.
constexpr const char* kMonitoringNote = "Monitorando"_cp1252;
constexpr const char* kOtherClosedNote = "o outro programa fechou a porta {other}; o monitor continua"_cp1252;
constexpr const char* kOtherOpenedNote = "o outro programa abriu a porta {other}"_cp1252;
constexpr const char* kPrinterSideLost = "A porta da impressora ({port}) foi perdida"_cp1252;
constexpr const char* kOtherSideLost = "A porta do outro programa ({port}) foi perdida"_cp1252;
constexpr const char* kRelayEndedText =
    "{side}: o monitor parou. Verifique o cabo e o adaptador e comece de novo."_cp1252;

// Why the other side did not open.
constexpr const char* kRelayPortPrefix = "Porta do outro programa"_cp1252;
constexpr const char* kPtyNotMadeText =
    "Não foi possível criar o pseudo-terminal para o outro programa: {reason}"_cp1252;
constexpr const char* kLinkNotMadeText =
    "Não foi possível criar o link {path}: {reason}. Escolha outro caminho ou apague o arquivo que está lá."_cp1252;

// kestro-cli monitor: where to point the other program, and the summary at the end.
constexpr const char* kOtherPortText = "Aponte o outro programa para a porta {path}"_cp1252;
constexpr const char* kOtherPortLinkText = "Aponte o outro programa para a porta {link} (ou {path})"_cp1252;
constexpr const char* kStopHintText = "Ctrl-C para parar."_cp1252;
constexpr const char* kSummaryText = "Resumo: {commands} comandos vistos, {refused} recusados, {unanswered} sem "
                                     "resposta, resposta mais longa: {longest}"_cp1252;
constexpr const char* kLongestMs = "{ms} ms"_cp1252;
constexpr const char* kNoAnswerSeen = "nenhuma"_cp1252;
constexpr const char* kRefusalLine = "  recusado: comando {command}, {error}"_cp1252;

// kestro-cli monitor's command line.
constexpr const char* kRelayWithLinkText = "--link é para o pseudo-terminal: não vai com --relay"_cp1252;
constexpr const char* kRelayNeededText =
    "este sistema não tem pseudo-terminais: dê a porta do outro programa com --relay PORTA (uma ponta de "
    "um par de portas virtuais, ou um segundo adaptador)"_cp1252;
constexpr const char* kMonitorTraceText =
    "monitor já escreve o tráfego na saída padrão: --trace não serve (para salvar, --trace-file)"_cp1252;
constexpr const char* kMonitorJsonText =
    "monitor escreve o tráfego em linhas de texto, não em JSON: tire --json"_cp1252;

// The window's status line while it watches. UTF-8, not Windows-1252, which has no arrow both ways.
constexpr const char* kMonitoringStatusUtf8 = "Monitorando: {printer} \u2194 {other}"_utf8;

// The window's "Monitorar outro programa": the menu entry, the question, the pseudo-terminal's
// entry in the list, and the link that stops it.
constexpr const char* kMonitorAction = "Monitorar outro programa"_cp1252;
constexpr const char* kMonitorQuestion =
    "A impressora fica na porta {port}. Em que porta está o outro programa (o da loja)?"_cp1252;
constexpr const char* kNewPseudoTerminal = "Pseudo-terminal novo (o Kestro mostra o caminho)"_cp1252;
constexpr const char* kStopMonitorLink = "Parar"_cp1252;
