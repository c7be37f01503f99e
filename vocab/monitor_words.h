// The words of watching another program's conversation with the printer through a relay
// (kestro-cli monitor, the window's "Monitorar outro programa"); Windows-1252 unless said, with
// {name} for what FillIn puts in (vocab/filling.h).
#pragma once

// In a frame's meaning, a sequence number that is not the one the printer expects.
constexpr char kUnexpectedSequence[] = "{seq} (esperada {expected})";
// After an answer's meaning: how long after the message it answers it came.
constexpr char kAnswerTimeMeaning[] = "{meaning}; resposta em {ms} ms";

// Notes in the traffic: the relay's start, the other program on Kestro's own pseudo-terminal.
constexpr char kMonitoringNote[] = "Monitorando";  // then the ports and the clock time
constexpr char kOtherClosedNote[] = "o outro programa fechou a porta {other}; o monitor continua";
constexpr char kOtherOpenedNote[] = "o outro programa abriu a porta {other}";
// A side lost: the relay ends.
constexpr char kPrinterSideLost[] = "A porta da impressora ({port}) foi perdida";
constexpr char kOtherSideLost[] = "A porta do outro programa ({port}) foi perdida";
constexpr char kRelayEndedText[] = "{side}: o monitor parou. Verifique o cabo e o adaptador e comece de novo.";

// kestro-cli monitor.
constexpr char kOtherPortText[] = "Aponte o outro programa para a porta {path}";
constexpr char kOtherPortLinkText[] = "Aponte o outro programa para a porta {link} (ou {path})";
constexpr char kStopHintText[] = "Ctrl-C para parar.";
constexpr char kSummaryText[] =
    "Resumo: {commands} comandos vistos, {refused} recusados, {unanswered} sem resposta, "
    "resposta mais longa: {longest}";
constexpr char kLongestMs[] = "{ms} ms";
constexpr char kNoAnswerSeen[] = "nenhuma";
constexpr char kRefusalLine[] = "  recusado: comando {command}, {error}";
constexpr char kPtyNotMadeText[] =
    "N\343o foi poss\355vel criar o pseudo-terminal para o outro programa: {reason}";
constexpr char kLinkNotMadeText[] = "N\343o foi poss\355vel criar o link {path}: {reason}. Escolha outro caminho "
                                    "ou apague o arquivo que est\341 l\341.";
constexpr char kRelayPortPrefix[] = "Porta do outro programa";

// The window's status line while it watches. UTF-8: Windows-1252 has no arrow both ways.
constexpr char kMonitoringStatusUtf8[] = "Monitorando: {printer} \u2194 {other}";

// kestro-cli monitor's command line.
constexpr char kRelayWithLinkText[] = "--link \351 para o pseudo-terminal: n\343o vai com --relay";
constexpr char kRelayNeededText[] =
    "este sistema n\343o tem pseudo-terminais: d\352 a porta do outro programa com --relay PORTA (uma ponta de "
    "um par de portas virtuais, ou um segundo adaptador)";
constexpr char kMonitorTraceText[] =
    "monitor j\341 escreve o tr\341fego na sa\355da padr\343o: --trace n\343o serve (para salvar, --trace-file)";
constexpr char kMonitorJsonText[] = "monitor escreve o tr\341fego em linhas de texto, n\343o em JSON: tire --json";
