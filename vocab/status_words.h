// The status line's own texts and the link's notes in the traffic, Windows-1252: what the window's
// status line, kestro-cli's standard error and a trace show besides the printer's error texts.
#pragma once

// The link could not open its port; the status text adds the system's code.
constexpr char kPortNotOpenedText[] = "Erro ao abrir Porta Serial!";
// The command could not be written.
constexpr char kSendFailedText[] = "Erro no envio do Comando";
// The request for the response could not be written.
constexpr char kRequestFailedText[] = "Erro ao solicitar Resposta";
// An identification item could not be read.
constexpr char kReadFailedText[] = "Erro ao ler ECF";
// The X reading failed for a reason that the printer's pair does not tell.
constexpr char kReadingXFailedText[] = "Erro!";
// The link's note in the traffic when its port opened.
constexpr char kPortOpenedNote[] = "Conectado";
// The link's note in the traffic when the system reports its port's line gone.
constexpr char kLineLostNote[] = "linha perdida";
// A port on a serial server whose connection ended ({where}: its host:port), and one whose
// server turned this client away, as ser2net does while another client holds the port.
constexpr char kConnectionLostText[] = "Conex\343o com {where} perdida";
constexpr char kServerBusyText[] = "{where} em uso por outro cliente do servidor serial: feche a outra conex\343o";
// What the window shows when something unforeseen stopped it.
constexpr char kUnexpectedErrorText[] = "Erro inesperado.";

// Every text above, for tests and for whoever checks them all at once.
constexpr const char* kStatusWords[] = {
    kPortNotOpenedText, kSendFailedText, kRequestFailedText,  kReadFailedText, kReadingXFailedText,
    kPortOpenedNote,    kLineLostNote,   kConnectionLostText, kServerBusyText, kUnexpectedErrorText};
