// What is said of a port on a serial server named wrong: a URL that does not read, and a raw port
// whose server speaks telnet.
#pragma once

#include "vocab/text.h"

// kestro-cli's usage error for a socket:// or rfc2217:// word without a host or a port number.
constexpr const char* kNetworkPortFormText =
    "'{word}' não é uma porta de servidor serial: escreva socket://MÁQUINA:PORTA ou "
    "rfc2217://MÁQUINA:PORTA, com a PORTA de 1 a 65535"_cp1252;
// A socket:// port whose server opened with telnet's commands ({where}: its host:port).
constexpr const char* kServerSpeaksTelnetText = "o servidor fala RFC 2217: use rfc2217://{where}"_cp1252;
