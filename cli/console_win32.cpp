// Console set-up for kestro-cli on Windows: the console gets UTF-16, files and pipes the bytes.
#include "cli/console.h"

#include <io.h>
#include <windows.h>

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }
bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

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
