// The adapter problems' words.
#include "vocab/adapter_words.h"

const AdapterProblemWords kAdapterProblemWords[kAdapterProblemCount] = {
    {28, "sem driver"_cp1252, "instale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {10, "não iniciou"_cp1252,
     "desconecte-o e conecte-o de novo; se continuar, reinstale o driver do fabricante do adaptador."_cp1252},
    {22, "desativado"_cp1252,
     "ative-o no Gerenciador de Dispositivos (botão direito, Ativar dispositivo)."_cp1252},
    {31, "com driver que não carregou"_cp1252,
     "reinstale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {39, "com driver que não carregou"_cp1252,
     "reinstale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {43, "parado pelo driver"_cp1252,
     "desconecte-o e conecte-o de novo, se possível em outra porta USB; se continuar, troque o adaptador."_cp1252},
    {0, "com problema"_cp1252, "veja o adaptador no Gerenciador de Dispositivos."_cp1252},
};

const AdapterProblemWords kRefusedChipWords = {
    10, "recusado pelo driver"_cp1252,
    "o driver atual não aceita este chip, antigo ou falsificado; use outro adaptador (FTDI, CP210x) ou o "
    "driver anterior do fabricante."_cp1252};
