// What the traffic decoder says each message on the line means, for the traffic view, kestro-cli's
// trace and saved traces, with {name} for what FillIn puts in (vocab/filling.h).
// Every byte count says "bytes", one included, as traces always have.
#pragma once

#include "vocab/text.h"

// The host asks: for the sequence number, for a block (numbered from 1); a command's frame, with
// its check byte "ok" or wrong, then its parameters or none.
constexpr const char* kSynSentMeaning = "SYN: pede o número de sequência"_cp1252;
constexpr const char* kEnqMeaning = "ENQ: pede o bloco {block}"_cp1252;
constexpr const char* kFrameMeaning =
    "quadro: sequência {seq}, comando {command}, extensão {extension}, byte de verificação {check}, "
    "{parameters}"_cp1252;
constexpr const char* kCheckByteOk = "ok"_cp1252;
constexpr const char* kCheckByteWrong = "{byte} errado, o certo é {right}"_cp1252;
constexpr const char* kWithParameters = "parâmetros"_cp1252;
constexpr const char* kWithoutParameters = "sem parâmetros"_cp1252;

// The printer answers; {error} is kErrorPairMeaning or kExplainedErrorMeaning.
constexpr const char* kSynAnswerMeaning = "SYN: o próximo número de sequência é {seq}"_cp1252;
constexpr const char* kAckMeaning = "ACK: comando aceito"_cp1252;
constexpr const char* kNakMeaning = "NAK: comando recusado, {error}"_cp1252;
constexpr const char* kBusyMeaning = "DC1: impressora ocupada, {error}"_cp1252;
constexpr const char* kBlockBusyMeaning =
    "DC1: impressora ocupada, bloco {block} ainda não está pronto, {error}"_cp1252;
constexpr const char* kHeaderErrorMeaning = "cabeçalho do bloco {block}: {error}"_cp1252;
constexpr const char* kLastHeaderMeaning =
    "cabeçalho do bloco {block}: {length} bytes de dados, último bloco"_cp1252;
constexpr const char* kMoreHeaderMeaning =
    "cabeçalho do bloco {block}: {length} bytes de dados, mais blocos a seguir"_cp1252;
constexpr const char* kBlockDataMeaning = "dados do bloco {block}, {length} bytes, byte final {last}"_cp1252;

// A printer's error pair, with its text on one line when it has one.
constexpr const char* kErrorPairMeaning = "erro {class}/{detail}"_cp1252;
constexpr const char* kExplainedErrorMeaning = "erro {class}/{detail}: {reason}"_cp1252;

// A message that the other side interrupted: what it was, then how much of it came.
constexpr const char* kIncompleteMeaning = "{what}, {have} de {need} bytes"_cp1252;
constexpr const char* kIncompleteEnq = "ENQ incompleto"_cp1252;
constexpr const char* kIncompleteFrame = "quadro incompleto"_cp1252;
constexpr const char* kIncompleteSynAnswer = "resposta ao SYN incompleta"_cp1252;
constexpr const char* kIncompleteNak = "NAK incompleto"_cp1252;
constexpr const char* kIncompleteBusy = "resposta DC1 incompleta"_cp1252;
constexpr const char* kIncompleteBlockBusy = "resposta de ocupado incompleta"_cp1252;
constexpr const char* kIncompleteHeader = "cabeçalho do bloco {block} incompleto"_cp1252;
constexpr const char* kIncompleteData = "dados do bloco {block} incompletos"_cp1252;

// Bytes that start no message the other side expects.
constexpr const char* kUnexpectedMeaning = "bytes inesperados"_cp1252;

// A message's text after its meaning, whole or cut, and hex cut short.
constexpr const char* kQuotedText = "{meaning}: \"{text}\"";
constexpr const char* kQuotedCutText = "{meaning}: \"{text}…\" ({total} bytes)"_cp1252;
constexpr const char* kCutHex = "{hex} … ({total} bytes)"_cp1252;
