// Windows: stands in for kestro.exe beside kestro.com; writes the command line it was started with, UTF-8,
// to command-line.txt in the current folder, whole once it is there.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int main()
{
    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = new char[size];
    WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, size, nullptr, nullptr);
    FILE* file = std::fopen("command-line.part", "wb");
    if (file == nullptr || std::fputs(utf8, file) < 0 || std::fclose(file) != 0)
        return 1;
    return MoveFileA("command-line.part", "command-line.txt") ? 0 : 1;
}
