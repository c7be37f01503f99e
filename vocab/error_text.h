// The Portuguese text that explains an error pair: the printer's classes 1 to 17, the link's
// own class 255, and a raw form for any other class.
#pragma once

#include <string>

// The link's own error pairs: class 255 with one of these details.
constexpr int kLinkErrorClass = 255;
enum LinkErrorDetail {
    kLinkCleared = 0,        // no error: the pair is reset before every exchange
    kLinkInvalidAnswer = 1,  // the printer answered with a byte that fits no answer
    kLinkNoAnswer = 2,       // no answer, or an incomplete one, within the wait
    kLinkLineLost = 3,       // the system reports the port's line gone (an adapter pulled)
};

// The two parts of a pair's text: the class's title and the detail's sentence,
// each empty where the pair has none (the link's own pairs have a sentence only).
struct ErrorWords {
    std::string title;
    std::string sentence;
};
ErrorWords ErrorParts(int errClass, int errDetail);

// The title and the sentence with a blank line between them. Class 0 and the cleared link
// condition give the empty text; any pair of integers gives some text.
std::string ErrorText(int errClass, int errDetail);

// A text on one line, for a trace or a port's line: each run of line breaks and blanks becomes
// one blank, none at either end.
std::string OneLine(const std::string& text);
