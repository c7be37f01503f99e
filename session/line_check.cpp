// The line check (the window's line test, kestro-cli ping): its exchanges, their classes and the
// texts that tell them.
#include "session/line_check.h"

#include "base/log.h"
#include "session/identification.h"
#include "session/port_texts.h"
#include "vocab/error_text.h"
#include "vocab/line_test_words.h"
#include "vocab/status_words.h"

#include <algorithm>
#include <chrono>

namespace {

// A count of the tally, in its word.
std::string Counted(long count, const CountedWords& words) { return Counted(static_cast<size_t>(count), words); }

}  // namespace

void LineTally::Add(const LineExchange& exchange)
{
    ++sent;
    ++counts[exchange.result];
    const bool gotAnswer = exchange.result == LineExchange::kOk || exchange.result == LineExchange::kBusy ||
                           exchange.result == LineExchange::kDiffers;
    if (gotAnswer) {
        ++times[exchange.ms];
        ++timed;
    }
}

bool LineTally::Times(long& min, long& median, long& max) const
{
    if (timed == 0)
        return false;
    min = times.begin()->first;
    max = times.rbegin()->first;
    // The lower middle one of an even count.
    long before = (timed - 1) / 2;
    for (const auto& [ms, count] : times) {
        if (before < count) {
            median = ms;
            break;
        }
        before -= count;
    }
    return true;
}

std::string ExchangeText(const LineExchange& exchange)
{
    const std::pair<const char*, std::string> number {"number", std::to_string(exchange.number)};
    const std::pair<const char*, std::string> ms {"ms", GroupedDigits(exchange.ms)};
    const ErrorPair& pair = exchange.ended.pair;
    switch (exchange.result) {
    case LineExchange::kOk:
        return FillIn(kAnsweredText, {number, ms});
    case LineExchange::kBusy:
        return FillIn(kBusyAnsweredText, {number, {"times", std::to_string(exchange.busyAnswers)}, ms});
    case LineExchange::kDiffers: {
        // The first field is what the technician compares; a response without one shows whole.
        const std::vector<std::string> fields = CommandCycle::LeParam(exchange.answer);
        return FillIn(kDiffersText, {number, {"answer", fields.empty() ? exchange.answer : fields.front()}});
    }
    case LineExchange::kRefused:
        return FillIn(exchange.ended.inResponse ? kRefusedInResponseText : kRefusedText,
                      {number,
                       {"class", std::to_string(pair.errClass)},
                       {"detail", std::to_string(pair.errDetail)},
                       {"reason", OneLine(ErrorText(pair.errClass, pair.errDetail))}});
    case LineExchange::kNoAnswer:
        return FillIn(exchange.ended.kind == CommandOutcome::kInvalidAnswer ? kInvalidAnswerText : kNoAnswerText,
                      {number});
    case LineExchange::kLineLost:
        break;
    }
    return number.second + ": " + OneLine(exchange.ended.text);
}

std::string SummaryText(const LineTally& tally)
{
    std::string text = Counted(tally.Sent(), kSentWords) + ": " + Counted(tally.Answered(), kAnsweredWords) +
                       ", " + Counted(tally.Count(LineExchange::kNoAnswer), kNoAnswerWords) + ", " +
                       Counted(tally.Count(LineExchange::kRefused), kRefusedWords) + ", " +
                       Counted(tally.Count(LineExchange::kDiffers), kDiffersWords);
    long min = 0, median = 0, max = 0;
    if (tally.Times(min, median, max))
        text += "; " + FillIn(kTimesText, {{"min", GroupedDigits(min)},
                                           {"median", GroupedDigits(median)},
                                           {"max", GroupedDigits(max)}});
    return text;
}

std::string StatusSummaryText(const LineTally& tally)
{
    std::string text = FillIn(
        kStatusText, {{"answered", std::to_string(tally.Answered())}, {"sent", std::to_string(tally.Sent())}});
    long min = 0, median = 0, max = 0;
    const bool timed = tally.Times(min, median, max);
    const auto times = [&](const char* words) {
        return timed ? FillIn(words, {{"min", GroupedDigits(min)}, {"max", GroupedDigits(max)}}) : std::string();
    };
    if (tally.Sound())
        return text + times(kStatusTimesText);
    // What went wrong, the kinds that happened only; then the times of those answered.
    const std::pair<LineExchange::Result, CountedWords> failures[] = {
        {LineExchange::kNoAnswer, kNoAnswerWords},
        {LineExchange::kRefused, kRefusedAnswersWords},
        {LineExchange::kDiffers, kDiffersWords},
    };
    std::string said;
    for (const auto& [result, words] : failures) {
        if (tally.Count(result) > 0)
            said += (said.empty() ? "" : ", ") + Counted(tally.Count(result), words);
    }
    return (said.empty() ? text : text + " (" + said + ")") + times(kStatusAnsweredTimesText);
}

LineChecker::LineChecker(PrinterSession& session)
    : cycle(session.cycle),
      link(*session.link),
      response(CommandCycle::kResponseSize)
{
}

const LineTally& LineChecker::Run(long count, const std::function<void(const LineExchange&)>& told)
{
    AppLog("LineTest");
    // One sequence: a cancel stops the whole test, not only the exchange in progress.
    const CommandCycle::Sequence sequence(cycle);
    // The test starts from the printer's own number, whatever the link had.
    if (!keepSequence)
        link.ForgetSequence();
    for (long n = 1; n <= count && !cycle.CancelRequested(); ++n) {
        LineExchange exchange;
        exchange.number = n;
        if (!Exchange(exchange))
            break;
        tally.Add(exchange);
        told(exchange);
        if (exchange.result == LineExchange::kLineLost)
            break;
        // After a failure nobody knows whether the printer took the frame and counted its
        // number: the next exchange asks for the number instead of guessing it, so that one
        // fault does not fail the exchanges after it with a wrong sequence number.
        if (exchange.result != LineExchange::kOk && exchange.result != LineExchange::kBusy)
            link.ForgetSequence();
    }
    AppLog("LineTest Fim");
    return tally;
}

bool LineChecker::Exchange(LineExchange& exchange)
{
    PrepareIdentificationQuery(link, IdentificationItem::kModel);
    const auto start = std::chrono::steady_clock::now();
    size_t received = 0;
    cycle.ExecCmd(response.data(), response.size(), &received);
    exchange.ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    exchange.ended = cycle.Outcome();
    exchange.busyAnswers = cycle.BusyAnswers();
    switch (exchange.ended.kind) {
    case CommandOutcome::kCancelled:
    case CommandOutcome::kBusyGivenUp:
        return false;
    case CommandOutcome::kDone:
        exchange.answer.assign(reinterpret_cast<const char*>(response.data()),
                               std::min(received, response.size() - 1));
        exchange.result = Compare(exchange);
        break;
    case CommandOutcome::kNotOpened:  // not again: the line went
    case CommandOutcome::kLineLost:
        exchange.result = LineExchange::kLineLost;
        break;
    case CommandOutcome::kRefused:
        exchange.result = LineExchange::kRefused;
        break;
    case CommandOutcome::kNoAnswer:
    case CommandOutcome::kInvalidAnswer:
    case CommandOutcome::kNotSent:
        exchange.result = LineExchange::kNoAnswer;
        break;
    }
    return true;
}

LineExchange::Result LineChecker::Compare(const LineExchange& exchange)
{
    if (!answered) {
        first = exchange.answer;
        answered = true;
    }
    if (exchange.answer != first)
        return LineExchange::kDiffers;
    return exchange.busyAnswers > 0 ? LineExchange::kBusy : LineExchange::kOk;
}
