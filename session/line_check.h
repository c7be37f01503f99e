// The line test (kestro-cli ping, the window's "Testar comunicação"): is the line sound? The
// model query that "Conectar" sends, which changes nothing in the printer, sent again and again
// through the command cycle, each exchange timed and classed.
#pragma once

#include "session/printer_session.h"

#include <functional>
#include <map>
#include <string>

struct LineExchange {
    // kBusy: answered as the first was, after the printer asked to wait.
    enum Result { kOk, kDiffers, kRefused, kNoAnswer, kBusy, kLineLost };
    static constexpr int kResults = kLineLost + 1;
    long number = 0;  // from 1
    Result result = kOk;
    long ms = 0;  // from the exchange's start to its end
    int busyAnswers = 0;
    std::string answer;  // the response as it came (Windows-1252)
    // How the cycle ended it: the pair, and the status line's text of a failure.
    CommandOutcome ended;
};

// The exchanges so far, in constant memory however many there are.
class LineTally {
public:
    void Add(const LineExchange& exchange);
    long Sent() const { return sent; }
    long Count(LineExchange::Result result) const { return counts[result]; }
    // Answered as the first was, after a wait or not.
    long Answered() const { return counts[LineExchange::kOk] + counts[LineExchange::kBusy]; }
    bool Sound() const { return sent > 0 && Answered() == sent; }
    // The times of the exchanges that got an answer; false when none did.
    bool Times(long& min, long& median, long& max) const;

private:
    long sent = 0;
    long counts[LineExchange::kResults] = {};
    std::map<long, long> times;  // milliseconds to how many exchanges took them
    long timed = 0;
};

// Texts for the technician, in Windows-1252: "3: recusado (NAK 15/1: ...)".
std::string ExchangeText(const LineExchange& exchange);
// "10 enviados: 7 respondidos, 1 sem resposta, 1 recusado, 1 diferente; 148/152/160 ms (mín/mediana/máx)".
std::string SummaryText(const LineTally& tally);
// The window's status line: "Comunicação: 10 de 10 respostas, 148 a 160 ms", or with failures
// "Comunicação: 7 de 10 respostas (3 sem resposta); respondidas em 148 a 160 ms".
std::string StatusSummaryText(const LineTally& tally);

class LineChecker {
public:
    static constexpr long kMaxCount = 100000;
    static constexpr long kWindowCount = 10;

    // On the session's current link, which must be there.
    explicit LineChecker(PrinterSession& session);
    // Synchronises, then runs `count` exchanges, telling each as it ends. Ends early, the
    // exchange in progress untold, on a cancel; at once after a lost line.
    const LineTally& Run(long count, const std::function<void(const LineExchange&)>& told);
    // On a link in step with its printer (the window's connection, for a report): the test goes
    // on with the link's sequence number, with no SYN of its own.
    void KeepSequence() { keepSequence = true; }

private:
    // One exchange; false when a cancel cut it short.
    bool Exchange(LineExchange& exchange);
    // An answer's class: as the first, after a wait or not, or different.
    LineExchange::Result Compare(const LineExchange& exchange);

    CommandCycle& cycle;
    EcfLink& link;
    std::vector<uint8_t> response;
    std::string first;  // the first answer's text
    bool answered = false;
    bool keepSequence = false;
    LineTally tally;
};
