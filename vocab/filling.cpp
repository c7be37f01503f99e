// The filling-in rules of the vocabulary's texts.
#include "vocab/filling.h"

#include "vocab/cp1252.h"

#include <algorithm>

std::string FillIn(const std::string& text, std::initializer_list<std::pair<const char*, std::string>> values)
{
    std::string filled;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('{', at);
        const size_t close = open == std::string::npos ? open : text.find('}', open);
        if (close == std::string::npos)
            break;
        filled.append(text, at, open - at);
        const std::string key = text.substr(open + 1, close - open - 1);
        const auto value =
            std::find_if(values.begin(), values.end(), [&](const auto& pair) { return key == pair.first; });
        filled += value != values.end() ? value->second : text.substr(open, close - open + 1);
        at = close + 1;
    }
    return filled + text.substr(std::min(at, text.size()));
}

std::string FillInUtf8(const std::string& cp1252, std::initializer_list<std::pair<const char*, std::string>> values)
{
    return FillIn(Cp1252ToUtf8(cp1252), values);
}

const char* InNumber(size_t count, const CountedWords& words) { return count == 1 ? words.one : words.many; }

std::string Counted(size_t count, const CountedWords& words)
{
    return std::to_string(count) + " " + InNumber(count, words);
}

std::string GroupedDigits(int64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > (value < 0 ? 1 : 0); at -= 3)
        digits.insert(static_cast<size_t>(at), ".");
    return digits;
}
