// The command cycle's display on a console: status texts as UTF-8 lines on standard error,
// the window's pauses kept so that the cycle runs at the same pace.
#pragma once

#include "session/cycle_display.h"

#include <cstdio>
#include <string>

class ConsoleDisplay : public CycleDisplay {
public:
    // progressMarks: print a dot for every wait of a busy printer (for a terminal only).
    ConsoleDisplay(std::FILE* out, bool progressMarks);

    void ShowCmd(int code) override;
    void ShowCmd(int code, bool cancelVisible) override;
    void SetSt(const std::string& text) override;
    void ShowIdentification(const Identification& identification) override;
    // A signal asked the program to stop (RequestInterrupt).
    bool CancelRequested() override;

    const Identification& Shown() const { return shown; }
    // A line of kestro-cli's own on the same stream, UTF-8 already.
    void Message(const std::string& utf8);
    // A result line on standard output, UTF-8 already.
    void Result(const std::string& utf8);
    // Ends a line of progress dots, so that what follows starts on a line of its own.
    void EndProgressLine();

private:
    std::FILE* out;
    bool progressMarks;
    bool progressOpen = false;
    std::string lastText;
    Identification shown;
};
