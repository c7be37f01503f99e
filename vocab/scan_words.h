// The window's text while its port scan checks a port on a serial server, which may take seconds.
#pragma once

#include "vocab/text.h"

// While the server's name is looked up and its connection tried; "Cancelar" gives that port up.
constexpr const char* kCheckingServerText = "Verificando {where}…"_cp1252;
