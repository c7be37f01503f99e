// The port states' words, and the filling in of their facts.
#include "vocab/port_words.h"

#include <algorithm>

const PortStateWords kPortStateWords[kPortStateCount] = {
    {"livre", "livre", ""},
    {"sem permiss\343o ({advice})", "sem permiss\343o", " Sem permiss\343o: {advice}."},
    {"em uso por {holder}", "em uso", " Em uso por {holder}."},
    {"n\343o \351 uma porta serial", "n\343o serial", " N\343o \351 uma porta serial."},
    {"n\343o encontrada (verifique o cabo e o adaptador)", "n\343o encontrada",
     " Porta n\343o encontrada: verifique o cabo e o adaptador."},
    {"sem dispositivo (o sistema n\343o achou a UART)", "sem dispositivo",
     " Sem dispositivo: o sistema n\343o achou a UART desta porta."},
    {"erro ao abrir ({code})", "erro ao abrir", ""},
};

const PermissionWords kPermissionWords = {
    "pe\347a acesso ao administrador",
    "entre no grupo {group}",
    "nem o grupo {group} pode abrir a porta; pe\347a ao administrador",
};

std::string Counted(size_t count, const CountedWords& words)
{
    return std::to_string(count) + " " + (count == 1 ? words.one : words.many);
}

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
