// The command cycle's display on a console: status texts as UTF-8 lines on standard error,
// the window's pauses kept so that the cycle runs at the same pace.
#pragma once

#include "session/cycle_display.h"

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

class ConsoleDisplay : public CycleDisplay {
public:
    // progressMarks: print a dot for every wait of a busy printer (for a terminal only).
    // textResults false: result lines are left out, since the command writes its results as JSON.
    ConsoleDisplay(std::FILE* out, bool progressMarks, bool textResults = true);

    void ShowCmd(int code) override;
    void ShowCmd(int code, bool cancelVisible) override;
    void SetSt(const std::string& text) override;
    void ShowIdentification(const Identification& identification) override;
    // The window's pauses, slept: the cycle runs at the same pace.
    void Wait(std::chrono::milliseconds duration) override;
    // A signal asked the program to stop (RequestInterrupt).
    bool CancelRequested() override;

    const Identification& Shown() const { return shown; }
    // A line of kestro-cli's own on the same stream (ConsoleText), alone or after the name of
    // what it is about (a port's, made safe).
    void Message(const std::string& cp1252);
    void Message(const std::string& name, const std::string& cp1252);
    // A line of kestro-cli's own with names that the system gives (UTF-8) in its {placeholders}:
    // ConsoleLine.
    void Message(const std::string& cp1252, std::initializer_list<std::pair<const char*, std::string>> names);
    // A line that the system's names fill, UTF-8 already, made safe.
    void Note(const std::string& utf8);
    // Every line written to that stream so far, status texts included, in order.
    const std::vector<std::string>& Messages() const { return messages; }
    // A result line on standard output, UTF-8 already.
    void Result(const std::string& utf8);
    // Ends a line of progress dots, so that what follows starts on a line of its own.
    void EndProgressLine();

private:
    void Line(const std::string& utf8);

    std::FILE* out;
    bool progressMarks;
    bool textResults;
    bool progressOpen = false;
    std::vector<std::string> messages;
    std::string lastText;
    Identification shown;
};
