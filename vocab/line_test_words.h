// The texts of the line test, the one feature that kestro-cli calls ping and the window's
// context menu "Testar comunicação", with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/filling.h"
#include "vocab/text.h"

// The window's context menu entry that runs it.
constexpr const char* kLineTestAction = "Testar comunicação"_cp1252;

// One exchange's line, after its {number}.
constexpr const char* kAnsweredText = "{number}: {ms} ms"_cp1252;
constexpr const char* kBusyAnsweredText = "{number}: ocupado {times} vezes, {ms} ms"_cp1252;
constexpr const char* kNoAnswerText = "{number}: sem resposta"_cp1252;
constexpr const char* kInvalidAnswerText = "{number}: sem resposta (resposta inválida)"_cp1252;
// Refused by NAK, or by an error in the response's header; {reason} is the pair's text.
constexpr const char* kRefusedText = "{number}: recusado (NAK {class}/{detail}: {reason})"_cp1252;
constexpr const char* kRefusedInResponseText =
    "{number}: recusado (erro {class}/{detail} na resposta: {reason})"_cp1252;
constexpr const char* kDiffersText = "{number}: resposta diferente da primeira: \"{answer}\"";

// kestro-cli's summary: the counts, then the times.
constexpr CountedWords kSentWords = {"enviado"_cp1252, "enviados"_cp1252};
constexpr CountedWords kAnsweredWords = {"respondido"_cp1252, "respondidos"_cp1252};
constexpr CountedWords kNoAnswerWords = {"sem resposta"_cp1252, "sem resposta"_cp1252};
constexpr CountedWords kRefusedWords = {"recusado"_cp1252, "recusados"_cp1252};
constexpr CountedWords kDiffersWords = {"diferente"_cp1252, "diferentes"_cp1252};
constexpr const char* kTimesText = "{min}/{median}/{max} ms (mín/mediana/máx)"_cp1252;

// The window's status line: the answers, then their times when all came, or what went wrong
// ("respostas" is feminine; "diferentes" is both).
constexpr const char* kStatusText = "Comunicação: {answered} de {sent} respostas"_cp1252;
constexpr const char* kStatusTimesText = ", {min} a {max} ms"_cp1252;
constexpr const char* kStatusAnsweredTimesText = "; respondidas em {min} a {max} ms"_cp1252;
constexpr CountedWords kRefusedAnswersWords = {"recusada"_cp1252, "recusadas"_cp1252};
// The window's status line while the test runs: the exchange under way, of how many.
constexpr const char* kProgressText = "Testando comunicação: {number} de {count}…"_cp1252;
