// What is said of a port on a serial server named wrong, Windows-1252: a URL that does not read,
// and a raw port whose server speaks telnet.
#pragma once

// kestro-cli's usage error for a socket:// or rfc2217:// word without a host or a port number.
constexpr char kNetworkPortFormText[] =
    "'{word}' n\343o \351 uma porta de servidor serial: escreva socket://M\301QUINA:PORTA ou "
    "rfc2217://M\301QUINA:PORTA, com a PORTA de 1 a 65535";
// A socket:// port whose server opened with telnet's commands ({where}: its host:port).
constexpr char kServerSpeaksTelnetText[] = "o servidor fala RFC 2217: use rfc2217://{where}";
