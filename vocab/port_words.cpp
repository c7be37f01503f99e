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
    {"conex\343o recusada (confira o servidor serial)", "conex\343o recusada",
     " {where} recusou a conex\343o: confira o servidor."},
    {"sem rota (confira a rede)", "sem rota", " Sem rota at\351 {where}: confira a rede."},
    {"nome n\343o encontrado (confira o nome)", "nome n\343o encontrado",
     " Nome n\343o encontrado: {where}; confira o nome."},
};

const PermissionWords kPermissionWords = {
    "pe\347a acesso ao administrador",
    "entre no grupo {group}",
    "nem o grupo {group} pode abrir a porta; pe\347a ao administrador",
};

const PortSpelling kPosixPortSpelling = {
    "/dev/DISPOSITIVO",
    "/dev/pts/3",
    "A porta como ports a lista: ttyUSB0, ttyS0, pts/3 (COM3 no\n"
    "               Windows). Um caminho /dev/NOME vale como NOME; outro caminho\n"
    "               absoluto, como est\341.",
};

const PortSpelling kWindowsPortSpelling = {
    "\\\\.\\PORTA",
    "\\\\.\\COM10",
    "A porta como ports a lista: COM3, COM10. Um caminho \\\\.\\COM10 vale\n"
    "               como COM10.",
};
