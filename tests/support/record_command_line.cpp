// Windows: stands in for kestro.exe beside kestro.com; writes the command line it was started with to
// command-line.txt in the current folder, whole once it is there.
#include <windows.h>

#include <cstdio>

int main()
{
    FILE* file = std::fopen("command-line.part", "wb");
    return file == nullptr || std::fputs(GetCommandLineA(), file) < 0 || std::fclose(file) != 0 ||
           !MoveFileA("command-line.part", "command-line.txt");
}
