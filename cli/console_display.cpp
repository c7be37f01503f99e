// Console display of the command cycle.
#include "cli/console_display.h"

#include "cli/console.h"
#include "cli/interrupt_flag.h"
#include "cli/terminal_text.h"

#include <thread>

ConsoleDisplay::ConsoleDisplay(std::FILE* out, bool progressMarks, bool textResults)
    : out(out),
      progressMarks(progressMarks),
      textResults(textResults)
{
}

void ConsoleDisplay::ShowCmd(int /*code*/) {}

void ConsoleDisplay::ShowCmd(int /*code*/, bool /*cancelVisible*/)
{
    if (progressMarks) {
        WriteText(out, ".");
        std::fflush(out);
        progressOpen = true;
    }
}

void ConsoleDisplay::Wait(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

void ConsoleDisplay::SetSt(const std::string& text)
{
    // Three failed queries in a row leave the same text three times; once is enough.
    if (text == lastText)
        return;
    lastText = text;
    if (!text.empty())
        Message(text);
}

void ConsoleDisplay::ShowIdentification(const Identification& identification) { shown = identification; }

bool ConsoleDisplay::CancelRequested() { return Interrupted(); }

void ConsoleDisplay::Message(const std::string& cp1252) { Line(ConsoleText(cp1252)); }

void ConsoleDisplay::Message(const std::string& name, const std::string& cp1252)
{
    Line(TerminalSafe(name) + ": " + ConsoleText(cp1252));
}

void ConsoleDisplay::Message(const std::string& cp1252,
                             std::initializer_list<std::pair<const char*, std::string>> names)
{
    Line(ConsoleLine(cp1252, names));
}

void ConsoleDisplay::Note(const std::string& utf8) { Line(TerminalSafe(utf8)); }

void ConsoleDisplay::Line(const std::string& utf8)
{
    messages.push_back(utf8);
    EndProgressLine();
    WriteText(out, utf8 + "\n");
    std::fflush(out);
}

void ConsoleDisplay::Result(const std::string& utf8)
{
    if (!textResults)
        return;
    EndProgressLine();
    WriteText(stdout, utf8 + "\n");
    std::fflush(stdout);
}

void ConsoleDisplay::EndProgressLine()
{
    if (!progressOpen)
        return;
    WriteText(out, "\n");
    progressOpen = false;
}
