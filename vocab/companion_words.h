// The words of kestro.com, the window program's companion in the Windows Prompt de Comando.
#pragma once

#include "vocab/text.h"

// The window program did not start: {path} is kestro.exe as it was looked for, {code} the system's
// error number.
constexpr const char* kWindowNotStartedText =
    "kestro: não foi possível abrir a janela, {path} (código {code}). Confira se o kestro.exe está "
    "na mesma pasta que o kestro.com; se não estiver, instale o Kestro de novo."_cp1252;
