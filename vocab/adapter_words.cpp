// The adapter problems' words.
#include "vocab/adapter_words.h"

const AdapterProblemWords kAdapterProblemWords[kAdapterProblemCount] = {
    {28, "sem driver", "instale o driver do fabricante do adaptador e conecte-o de novo."},
    {10, "n\343o iniciou",
     "desconecte-o e conecte-o de novo; se continuar, reinstale o driver do fabricante do adaptador."},
    {22, "desativado", "ative-o no Gerenciador de Dispositivos (bot\343o direito, Ativar dispositivo)."},
    {31, "com driver que n\343o carregou", "reinstale o driver do fabricante do adaptador e conecte-o de novo."},
    {39, "com driver que n\343o carregou", "reinstale o driver do fabricante do adaptador e conecte-o de novo."},
    {43, "parado pelo driver",
     "desconecte-o e conecte-o de novo, se poss\355vel em outra porta USB; se continuar, troque o adaptador."},
    {0, "com problema", "veja o adaptador no Gerenciador de Dispositivos."},
};

const AdapterProblemWords kRefusedChipWords = {
    10, "recusado pelo driver",
    "o driver atual n\343o aceita este chip, antigo ou falsificado; use outro adaptador (FTDI, CP210x) ou o "
    "driver anterior do fabricante."};
