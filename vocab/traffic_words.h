// What the traffic decoder says each message on the line means, for the traffic view, kestro-cli's
// trace and saved traces; Windows-1252, with {name} for what FillIn puts in (vocab/filling.h).
// Every byte count says "bytes", one included, as traces always have.
#pragma once

// The host asks: for the sequence number, for a block (numbered from 1); a command's frame, with
// its check byte "ok" or wrong, then its parameters or none.
constexpr char kSynSentMeaning[] = "SYN: pede o n\372mero de sequ\352ncia";
constexpr char kEnqMeaning[] = "ENQ: pede o bloco {block}";
constexpr char kFrameMeaning[] =
    "quadro: sequ\352ncia {seq}, comando {command}, extens\343o {extension}, byte de verifica\347\343o {check}, "
    "{parameters}";
constexpr char kCheckByteOk[] = "ok";
constexpr char kCheckByteWrong[] = "{byte} errado, o certo \351 {right}";
constexpr char kWithParameters[] = "par\342metros";
constexpr char kWithoutParameters[] = "sem par\342metros";

// The printer answers; {error} is kErrorPairMeaning or kExplainedErrorMeaning.
constexpr char kSynAnswerMeaning[] = "SYN: o pr\363ximo n\372mero de sequ\352ncia \351 {seq}";
constexpr char kAckMeaning[] = "ACK: comando aceito";
constexpr char kNakMeaning[] = "NAK: comando recusado, {error}";
constexpr char kBusyMeaning[] = "DC1: impressora ocupada, {error}";
constexpr char kBlockBusyMeaning[] = "DC1: impressora ocupada, bloco {block} ainda n\343o est\341 pronto, {error}";
constexpr char kHeaderErrorMeaning[] = "cabe\347alho do bloco {block}: {error}";
constexpr char kLastHeaderMeaning[] = "cabe\347alho do bloco {block}: {length} bytes de dados, \372ltimo bloco";
constexpr char kMoreHeaderMeaning[] =
    "cabe\347alho do bloco {block}: {length} bytes de dados, mais blocos a seguir";
constexpr char kBlockDataMeaning[] = "dados do bloco {block}, {length} bytes, byte final {last}";

// A printer's error pair, with its text on one line when it has one.
constexpr char kErrorPairMeaning[] = "erro {class}/{detail}";
constexpr char kExplainedErrorMeaning[] = "erro {class}/{detail}: {reason}";

// A message that the other side interrupted: what it was, then how much of it came.
constexpr char kIncompleteMeaning[] = "{what}, {have} de {need} bytes";
constexpr char kIncompleteEnq[] = "ENQ incompleto";
constexpr char kIncompleteFrame[] = "quadro incompleto";
constexpr char kIncompleteSynAnswer[] = "resposta ao SYN incompleta";
constexpr char kIncompleteNak[] = "NAK incompleto";
constexpr char kIncompleteBusy[] = "resposta DC1 incompleta";
constexpr char kIncompleteBlockBusy[] = "resposta de ocupado incompleta";
constexpr char kIncompleteHeader[] = "cabe\347alho do bloco {block} incompleto";
constexpr char kIncompleteData[] = "dados do bloco {block} incompletos";

// Bytes that start no message the other side expects.
constexpr char kUnexpectedMeaning[] = "bytes inesperados";

// A message's text after its meaning, whole or cut, and hex cut short: … is Windows-1252's 0x85.
constexpr char kQuotedText[] = "{meaning}: \"{text}\"";
constexpr char kQuotedCutText[] = "{meaning}: \"{text}\205\" ({total} bytes)";
constexpr char kCutHex[] = "{hex} \205 ({total} bytes)";

// Every text above, for tests.
constexpr const char* kTrafficWords[] = {
    kSynSentMeaning,   kEnqMeaning,          kFrameMeaning,          kCheckByteOk,       kCheckByteWrong,
    kWithParameters,   kWithoutParameters,   kSynAnswerMeaning,      kAckMeaning,        kNakMeaning,
    kBusyMeaning,      kBlockBusyMeaning,    kHeaderErrorMeaning,    kLastHeaderMeaning, kMoreHeaderMeaning,
    kBlockDataMeaning, kErrorPairMeaning,    kExplainedErrorMeaning, kIncompleteMeaning, kIncompleteEnq,
    kIncompleteFrame,  kIncompleteSynAnswer, kIncompleteNak,         kIncompleteBusy,    kIncompleteBlockBusy,
    kIncompleteHeader, kIncompleteData,      kUnexpectedMeaning,     kQuotedText,        kQuotedCutText,
    kCutHex,
};
