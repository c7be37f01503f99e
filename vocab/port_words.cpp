// The port states' words.
#include "vocab/port_words.h"

const PortStateWords kPortStateWords[kPortStateCount] = {
    {"livre"_cp1252, "livre"_cp1252, ""},
    {"sem permissão ({advice})"_cp1252, "sem permissão"_cp1252, " Sem permissão: {advice}."_cp1252},
    {"em uso por {holder}"_cp1252, "em uso"_cp1252, " Em uso por {holder}."_cp1252},
    {"não é uma porta serial"_cp1252, "não serial"_cp1252, " Não é uma porta serial."_cp1252},
    {"não encontrada (verifique o cabo e o adaptador)"_cp1252, "não encontrada"_cp1252,
     " Porta não encontrada: verifique o cabo e o adaptador."_cp1252},
    {"sem dispositivo (o sistema não achou a UART)"_cp1252, "sem dispositivo"_cp1252,
     " Sem dispositivo: o sistema não achou a UART desta porta."_cp1252},
    {"erro ao abrir ({code})"_cp1252, "erro ao abrir"_cp1252, ""},
    {"conexão recusada (confira o servidor serial)"_cp1252, "conexão recusada"_cp1252,
     " {where} recusou a conexão: confira o servidor."_cp1252},
    {"sem rota (confira a rede)"_cp1252, "sem rota"_cp1252, " Sem rota até {where}: confira a rede."_cp1252},
    {"nome não encontrado (confira o nome)"_cp1252, "nome não encontrado"_cp1252,
     " Nome não encontrado: {where}; confira o nome."_cp1252},
    {"não verificada (cancelada; confira o servidor serial)"_cp1252, "não verificada"_cp1252,
     " {where} não verificada: confira o servidor."_cp1252},
};

const PermissionWords kPermissionWords = {
    "peça acesso ao administrador"_cp1252,
    "entre no grupo {group}"_cp1252,
    "nem o grupo {group} pode abrir a porta; peça ao administrador"_cp1252,
};

const PortSpelling kPosixPortSpelling = {
    "/dev/DISPOSITIVO"_cp1252,
    "/dev/pts/3"_cp1252,
    "A porta como ports a lista: ttyUSB0, ttyS0, pts/3 (COM3 no\n"
    "               Windows). Um caminho /dev/NOME vale como NOME; outro caminho\n"
    "               absoluto, como está."_cp1252,
};

const PortSpelling kWindowsPortSpelling = {
    "\\\\.\\PORTA"_cp1252,
    "\\\\.\\COM10"_cp1252,
    "A porta como ports a lista: COM3, COM10. Um caminho \\\\.\\COM10 vale\n"
    "               como COM10."_cp1252,
};
