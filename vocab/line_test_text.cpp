// The line test's words.
#include "vocab/line_test_text.h"

namespace {

struct CountWords {
    const char* one;
    const char* many;
};

// In the order of LineTestText.
const std::string kPatterns[] = {
    "{1}: {2} ms",
    "{1}: ocupado {2} vezes, {3} ms",
    "{1}: sem resposta",
    "{1}: sem resposta (resposta inv\xE1lida)",
    "{1}: recusado (NAK {2}/{3}: {4})",
    "{1}: recusado (erro {2}/{3} na resposta: {4})",
    "{1}: resposta diferente da primeira: \"{2}\"",
    "{1}/{2}/{3} ms (m\xEDn/mediana/m\xE1x)",
    "Comunica\xE7\xE3o: {1} de {2} respostas",
    ", {1} a {2} ms",
};

// In the order of LineTestCount.
const CountWords kCounts[] = {
    {"enviado", "enviados"},     {"respondido", "respondidos"}, {"sem resposta", "sem resposta"},
    {"recusado", "recusados"},   {"diferente", "diferentes"},   {"recusada", "recusadas"},
    {"diferente", "diferentes"},
};

}  // namespace

const std::string& LineTestPattern(LineTestText text) { return kPatterns[static_cast<int>(text)]; }

std::string LineTestCounted(LineTestCount count, long n)
{
    const CountWords& words = kCounts[static_cast<int>(count)];
    return std::to_string(n) + " " + (n == 1 ? words.one : words.many);
}

std::string FillText(const std::string& pattern, const std::vector<std::string>& values)
{
    std::string text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t close = pattern.find('}', i);
        if (pattern[i] == '{' && close == i + 2) {
            const size_t index = static_cast<size_t>(pattern[i + 1] - '0');
            if (index >= 1 && index <= values.size()) {
                text += values[index - 1];
                i = close;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}
