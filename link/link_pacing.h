// The waits of the printer link in one value, so that tests can shorten them.
// Production code always uses the defaults.
#pragma once

#include <chrono>
#include <functional>

struct LinkPacing {
    std::chrono::milliseconds step {50};         // one poll of the receive buffer
    int answerPolls = 120;                       // acknowledgement and SYN answer: 6 s
    int headerPolls = 200;                       // response block header: 10 s
    std::chrono::milliseconds openWait {200};    // before the port is first opened
    std::chrono::milliseconds readerPause {50};  // the serial reader's pause between reads
    // How a wait is spent; empty means sleeping on this thread.
    std::function<void(std::chrono::milliseconds)> wait;
    // False: no serial reader thread; `wait` moves received bytes with EcfLink::ReadPort, so
    // that a run does not depend on scheduling (the fuzzer).
    bool readerThread = true;

    // The whole wait for an acknowledgement or a SYN answer.
    std::chrono::milliseconds AnswerWait() const { return step * answerPolls; }
};
