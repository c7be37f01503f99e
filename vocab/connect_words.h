// The window's texts while "Conectar" opens a port on a serial server, which may take seconds.
#pragma once

#include "vocab/text.h"

// While the server's name is looked up and its connection made; "Cancelar" stops it.
constexpr const char* kConnectingText = "Conectando a {where}…"_cp1252;
// The open stopped by "Cancelar" or Escape: nothing was left open.
constexpr const char* kConnectCancelledText = "Conexão com {where} cancelada"_cp1252;
