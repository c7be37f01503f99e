// The texts of the link's notes.
#include "vocab/traffic_notes.h"

#include "vocab/filling.h"

std::string ConnectionNote(const std::string& first, const std::string& port, const std::tm& when)
{
    char stamp[32] = "";
    std::strftime(stamp, sizeof stamp, "%d/%m/%Y %H:%M:%S", &when);
    return first + " (" + port + ", " + stamp + ")";
}

std::string NoAnswerNote(int64_t ms) { return "sem resposta em " + GroupedDigits(ms) + " ms"; }
