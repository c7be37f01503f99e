// Why a file could not be opened, read or written, in Portuguese: the C library's own texts
// are English.
#pragma once

#include "vocab/text.h"

#include <cerrno>
#include <string>

// The reasons a technician meets with files: a wrong name, a folder they may not write, a
// full disk.
struct ErrorReasonRow {
    int code;
    const char* text;
};
constexpr ErrorReasonRow kErrorReasons[] = {
    {ENOENT, "arquivo ou pasta não encontrado"_cp1252},
    {ENOTDIR, "parte do caminho não é uma pasta"_cp1252},
    {EISDIR, "é uma pasta, não um arquivo"_cp1252},
    {EACCES, "sem permissão"_cp1252},
    {EPERM, "sem permissão"_cp1252},
    {ENOSPC, "disco cheio"_cp1252},
    {EROFS, "disco somente leitura"_cp1252},
    {EPIPE, "quem lia a saída a fechou"_cp1252},
    {EIO, "erro de entrada e saída no disco"_cp1252},
};
// Any other code: {code} is its number.
constexpr const char* kOtherErrorReason = "erro {code} do sistema"_cp1252;

// The errno value as a short reason that says what to check: "disco cheio".
std::string ErrorReason(int code);
