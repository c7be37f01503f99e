// The texts of the line test (kestro-cli ping, the window's "Testar comunicação"), in
// Windows-1252 as every text of the vocabulary is. A pattern's {1}, {2}, ... stand for the
// values that FillText puts in.
#pragma once

#include <string>
#include <vector>

enum class LineTestText {
    kAnswered,           // one exchange: its number and time
    kBusyAnswered,       // answered after the printer asked to wait: number, times asked, time
    kNoAnswer,           // number
    kInvalidAnswer,      // number
    kRefused,            // NAK: number, class, detail, the pair's text
    kRefusedInResponse,  // an error in the response's header: number, class, detail, the pair's text
    kDiffers,            // number, the answer that came
    kTimes,              // the summary's times: min, median, max
    kStatus,             // the window's summary: answered, sent
    kStatusTimes,        // its times, when all were answered: min, max
};

// A count and its word, one form for 1 and one for the rest: "1 recusado", "2 recusados".
enum class LineTestCount {
    kSent,
    kAnswered,
    kNoAnswer,
    kRefused,
    kDiffers,
    kRefusedAnswers,  // in the window's status: "respostas" is feminine
    kDifferentAnswers,
};

const std::string& LineTestPattern(LineTestText text);
std::string LineTestCounted(LineTestCount count, long n);
// The pattern with {1} the first value, {2} the second, ... (up to {9}); a value is put in as
// it is.
std::string FillText(const std::string& pattern, const std::vector<std::string>& values);
