// Console text on Windows: the console gets UTF-16, files and pipes the bytes; a window program
// borrows the console of the prompt that started it.
#include "base/console_text.h"

#include <io.h>
#include <windows.h>

namespace {

std::wstring Utf16(const std::string& utf8)
{
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], static_cast<int>(wide.size()));
    return wide;
}

// The whole text on the console; a console may take it in parts.
bool WrittenToConsole(HANDLE console, const std::wstring& text)
{
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteConsoleW(console, text.data() + done, static_cast<DWORD>(text.size() - done), &written,
                           nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

void WriteText(std::FILE* stream, const std::string& utf8)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // Whatever the C runtime still holds goes first, to keep the order.
        std::fflush(stream);
        if (WrittenToConsole(handle, Utf16(utf8)))
            return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

bool WriteAnswer(const std::string& utf8)
{
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    const bool hasConsole = GetConsoleMode(console, &mode) != 0;
    // A file or a pipe gets the bytes, as kestro-cli's output does.
    if (!hasConsole && console != nullptr && console != INVALID_HANDLE_VALUE &&
        GetFileType(console) != FILE_TYPE_UNKNOWN) {
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        return std::fflush(stdout) == 0;
    }
    const bool borrowed = !hasConsole && AttachConsole(ATTACH_PARENT_PROCESS);
    if (borrowed)
        console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    else if (!hasConsole)
        return false;
    // A prompt that did not wait for this program is on the cursor's line already: the text starts
    // below it.
    CONSOLE_SCREEN_BUFFER_INFO screen {};
    const bool promptShown = GetConsoleScreenBufferInfo(console, &screen) && screen.dwCursorPosition.X > 0;
    const bool written = WrittenToConsole(console, Utf16((promptShown ? "\n" : "") + utf8));
    if (borrowed) {
        CloseHandle(console);
        FreeConsole();
    }
    return written;
}
