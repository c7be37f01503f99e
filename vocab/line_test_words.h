// The texts of the line test, the one feature that kestro-cli calls ping and the window's
// context menu "Testar comunicação"; Windows-1252, with {name} for what FillIn puts in
// (vocab/filling.h).
#pragma once

#include "vocab/filling.h"

// The window's context menu entry that runs it.
constexpr char kLineTestAction[] = "Testar comunica\347\343o";

// One exchange's line, after its {number}.
constexpr char kAnsweredText[] = "{number}: {ms} ms";
constexpr char kBusyAnsweredText[] = "{number}: ocupado {times} vezes, {ms} ms";
constexpr char kNoAnswerText[] = "{number}: sem resposta";
constexpr char kInvalidAnswerText[] = "{number}: sem resposta (resposta inv\341lida)";
// Refused by NAK, or by an error in the response's header; {reason} is the pair's text.
constexpr char kRefusedText[] = "{number}: recusado (NAK {class}/{detail}: {reason})";
constexpr char kRefusedInResponseText[] = "{number}: recusado (erro {class}/{detail} na resposta: {reason})";
constexpr char kDiffersText[] = "{number}: resposta diferente da primeira: \"{answer}\"";

// kestro-cli's summary: the counts, then the times.
constexpr CountedWords kSentWords = {"enviado", "enviados"};
constexpr CountedWords kAnsweredWords = {"respondido", "respondidos"};
constexpr CountedWords kNoAnswerWords = {"sem resposta", "sem resposta"};
constexpr CountedWords kRefusedWords = {"recusado", "recusados"};
constexpr CountedWords kDiffersWords = {"diferente", "diferentes"};
constexpr char kTimesText[] = "{min}/{median}/{max} ms (m\355n/mediana/m\341x)";

// The window's status line: the answers, then their times when all came, or what went wrong
// ("respostas" is feminine; "diferentes" is both).
constexpr char kStatusText[] = "Comunica\347\343o: {answered} de {sent} respostas";
constexpr char kStatusTimesText[] = ", {min} a {max} ms";
constexpr char kStatusAnsweredTimesText[] = "; respondidas em {min} a {max} ms";
constexpr CountedWords kRefusedAnswersWords = {"recusada", "recusadas"};
// The window's status line while the test runs: the exchange under way, of how many.
constexpr char kProgressText[] = "Testando comunica\347\343o: {number} de {count}\205";

// Every text above, for tests.
constexpr const char* kLineTestWords[] = {
    kLineTestAction,
    kAnsweredText,
    kBusyAnsweredText,
    kNoAnswerText,
    kInvalidAnswerText,
    kRefusedText,
    kRefusedInResponseText,
    kDiffersText,
    kTimesText,
    kStatusText,
    kStatusTimesText,
    kSentWords.one,
    kSentWords.many,
    kAnsweredWords.one,
    kAnsweredWords.many,
    kNoAnswerWords.one,
    kNoAnswerWords.many,
    kRefusedWords.one,
    kRefusedWords.many,
    kDiffersWords.one,
    kDiffersWords.many,
    kRefusedAnswersWords.one,
    kRefusedAnswersWords.many,
    kProgressText,
    kStatusAnsweredTimesText,
};
