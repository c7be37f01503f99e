// The mode text written and read; the platform ports apply what it reads.
#include "serial/line_settings.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream stream(text);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(Trimmed(field));
    return fields;
}

std::optional<long> Number(const std::string& text, long low, long high)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<LineSettings> ParseModeText(const std::string& modeText)
{
    const std::vector<std::string> fields = Fields(modeText);
    if (fields.size() != 4 || fields[1].size() != 1)
        return std::nullopt;
    const auto baud = Number(fields[0], 1, 4000000);
    const char parity = static_cast<char>(std::tolower(static_cast<unsigned char>(fields[1][0])));
    const auto dataBits = Number(fields[2], 5, 8);
    const auto stopBits = Number(fields[3], 1, 2);
    if (!baud || !dataBits || !stopBits || (parity != 'n' && parity != 'e' && parity != 'o'))
        return std::nullopt;
    LineSettings settings;
    settings.baud = *baud;
    settings.parity = parity;
    settings.dataBits = static_cast<int>(*dataBits);
    settings.stopBits = static_cast<int>(*stopBits);
    return settings;
}

std::string ModeText(const LineSettings& settings)
{
    return std::to_string(settings.baud) + "," + settings.parity + "," + std::to_string(settings.dataBits) + "," +
           std::to_string(settings.stopBits);
}
