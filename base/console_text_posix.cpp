// Console text on POSIX systems: terminals take UTF-8 as it is.
#include "base/console_text.h"

void WriteText(std::FILE* stream, const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }

bool WriteAnswer(const std::string& utf8)
{
    WriteText(stdout, utf8);
    return std::fflush(stdout) == 0;
}
