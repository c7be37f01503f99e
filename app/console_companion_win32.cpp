// kestro.com, the window program's companion in the Prompt de Comando. cmd runs it for a bare
// "kestro" (.COM comes before .EXE in PATHEXT) and waits for it, a console program, so that --help
// and --version are written before the prompt comes back; any other command line opens the window.
#include "app/window_answer.h"
#include "base/console_text.h"
#include "vocab/companion_words.h"
#include "vocab/filling.h"

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

namespace {

// The arguments as typed, quotes and all: what follows the program's name, which ends at the first
// blank outside quotes.
const wchar_t* ArgumentsAsTyped(const wchar_t* line)
{
    bool quoted = false;
    for (; *line != L'\0' && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

// kestro.exe beside this program, wherever the prompt runs it from.
std::wstring WindowProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    // A longer path than the buffer comes back cut to the buffer's size.
    while ((length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"kestro.exe";
}

std::string Utf8(const std::wstring& wide)
{
    const int size = static_cast<int>(wide.size());
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

// Starts the window with this command line's arguments, in the current folder, and does not wait
// for it: the window runs on its own, as when kestro.exe is typed. Says on standard error what to
// do when it cannot.
bool WindowStarted()
{
    const std::wstring program = WindowProgramPath();
    const std::wstring arguments = ArgumentsAsTyped(GetCommandLineW());
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started {};
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        const std::string code = std::to_string(GetLastError());
        WriteText(stderr, FillInUtf8(kWindowNotStartedText, {{"path", Utf8(program)}, {"code", code}}) + "\n");
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string answer = WindowAnswer(std::vector<std::string>(argv, argv + argc));
    if (!answer.empty())
        return WriteAnswer(answer) ? 0 : 1;
    return WindowStarted() ? 0 : 1;
}
