// The adapter problems' words.
#include "vocab/adapter_words.h"

const AdapterProblemWords kAdapterProblemWords[kAdapterProblemCount] = {
    {28, AdapterProblem::kNoDriver, "sem driver"_cp1252,
     "instale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {10, AdapterProblem::kNotStarted, "não iniciou"_cp1252,
     "desconecte-o e conecte-o de novo; se continuar, reinstale o driver do fabricante do adaptador."_cp1252},
    {22, AdapterProblem::kDisabled, "desativado"_cp1252,
     "ative-o no Gerenciador de Dispositivos (botão direito, Ativar dispositivo)."_cp1252},
    {31, AdapterProblem::kDriverNotLoaded, "com driver que não carregou"_cp1252,
     "reinstale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {39, AdapterProblem::kDriverNotLoaded, "com driver que não carregou"_cp1252,
     "reinstale o driver do fabricante do adaptador e conecte-o de novo."_cp1252},
    {43, AdapterProblem::kStopped, "parado pelo driver"_cp1252,
     "desconecte-o e conecte-o de novo, se possível em outra porta USB; se continuar, troque o adaptador."_cp1252},
    {0, AdapterProblem::kOtherCode, "com problema"_cp1252,
     "veja o adaptador no Gerenciador de Dispositivos."_cp1252},
};

const AdapterProblemWords kRefusedChipWords = {
    10, AdapterProblem::kChipRefused, "recusado pelo driver"_cp1252,
    "o driver atual não aceita este chip, antigo ou falsificado; use outro adaptador (FTDI, CP210x) ou o "
    "driver anterior do fabricante."_cp1252};
