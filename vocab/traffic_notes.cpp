// The texts of the link's notes.
#include "vocab/traffic_notes.h"

std::string ConnectionNote(const std::string& first, const std::string& port, const std::tm& when)
{
    char stamp[32] = "";
    std::strftime(stamp, sizeof stamp, "%d/%m/%Y %H:%M:%S", &when);
    return first + " (" + port + ", " + stamp + ")";
}

std::string NoAnswerNote(int64_t ms) { return "sem resposta em " + GroupedDigits(ms) + " ms"; }

std::string GroupedDigits(int64_t value)
{
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += '.';
        grouped += digits[i];
    }
    return grouped;
}
