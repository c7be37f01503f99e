// The command cycle's display on a console: status texts as UTF-8 lines on standard error,
// the window's pauses kept so that the cycle runs at the same pace.
#pragma once

#include "session/cycle_display.h"

#include <cstdio>
#include <string>
#include <vector>

// A status text of the printer or the link (Windows-1252, lines broken with CR LF) as UTF-8 with
// the console's own line end "\n" (the C library writes CR LF for it on Windows).
std::string ConsoleText(const std::string& cp1252);

class ConsoleDisplay : public CycleDisplay {
public:
    // progressMarks: print a dot for every wait of a busy printer (for a terminal only).
    // textResults false: result lines are left out, since the command writes its results as JSON.
    ConsoleDisplay(std::FILE* out, bool progressMarks, bool textResults = true);

    void ShowCmd(int code) override;
    void ShowCmd(int code, bool cancelVisible) override;
    void SetSt(const std::string& text) override;
    void ShowIdentification(const Identification& identification) override;
    // A signal asked the program to stop (RequestInterrupt).
    bool CancelRequested() override;

    const Identification& Shown() const { return shown; }
    // A line of kestro-cli's own on the same stream, UTF-8 already.
    void Message(const std::string& utf8);
    // Every line written to that stream so far, status texts included, in order.
    const std::vector<std::string>& Messages() const { return messages; }
    // A result line on standard output, UTF-8 already.
    void Result(const std::string& utf8);
    // Ends a line of progress dots, so that what follows starts on a line of its own.
    void EndProgressLine();

private:
    std::FILE* out;
    bool progressMarks;
    bool textResults;
    bool progressOpen = false;
    std::vector<std::string> messages;
    std::string lastText;
    Identification shown;
};
