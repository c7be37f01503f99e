// The port states' words.
#include "vocab/port_words.h"

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
    {"conex\343o recusada por {where}", "conex\343o recusada",
     " Conex\343o recusada por {where}: confira o endere\347o e a porta, e se o servidor serial est\341 no ar."},
    {"sem rota at\351 {where}", "sem rota",
     " Sem rota at\351 {where}: confira a rede, o endere\347o e o t\372nel SSH."},
    {"nome n\343o encontrado: {where}", "nome n\343o encontrado",
     " Nome n\343o encontrado: {where}. Confira o nome da m\341quina ou use o endere\347o IP."},
};

const PermissionWords kPermissionWords = {
    "pe\347a acesso ao administrador",
    "entre no grupo {group}",
    "nem o grupo {group} pode abrir a porta; pe\347a ao administrador",
};
