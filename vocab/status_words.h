// The status line's own texts and the link's notes in the traffic: what the window's status
// line, kestro-cli's standard error and a trace show besides the printer's error texts.
#pragma once

#include "vocab/text.h"

// The link could not open its port; the status text adds the system's code.
constexpr const char* kPortNotOpenedText = "Erro ao abrir Porta Serial!"_cp1252;
// The command could not be written.
constexpr const char* kSendFailedText = "Erro no envio do Comando"_cp1252;
// The request for the response could not be written.
constexpr const char* kRequestFailedText = "Erro ao solicitar Resposta"_cp1252;
// An identification item could not be read.
constexpr const char* kReadFailedText = "Erro ao ler ECF"_cp1252;
// The X reading failed for a reason that the printer's pair does not tell.
constexpr const char* kReadingXFailedText = "Erro!"_cp1252;
// The link's note in the traffic when its port opened.
constexpr const char* kPortOpenedNote = "Conectado"_cp1252;
// The link's note in the traffic when the system reports its port's line gone.
constexpr const char* kLineLostNote = "linha perdida"_cp1252;
// A port on a serial server whose connection ended ({where}: its host:port), and one whose
// server turned this client away, as ser2net does while another client holds the port.
constexpr const char* kConnectionLostText = "Conexão com {where} perdida"_cp1252;
constexpr const char* kServerBusyText =
    "{where} em uso por outro cliente do servidor serial: feche a outra conexão"_cp1252;
// An rfc2217:// server that did not answer a question of its own within a second.
constexpr const char* kServerSilentText = "o servidor serial {where} não responde"_cp1252;
// What the window shows when something unforeseen stopped it.
constexpr const char* kUnexpectedErrorText = "Erro inesperado."_cp1252;
