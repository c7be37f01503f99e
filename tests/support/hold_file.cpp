// Windows: another program holding a file open without letting it be renamed or replaced, until it is
// ended. Prints "held" once it holds the file. Usage: hold_file PATH
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2 ||
        CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr) == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    Sleep(INFINITE);
}
