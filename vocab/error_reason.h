// Why a file could not be opened, read or written, in Portuguese: the C library's own texts
// are English.
#pragma once

#include <cerrno>
#include <string>

// The reasons a technician meets with files: a wrong name, a folder they may not write, a
// full disk; Windows-1252.
struct ErrorReasonRow {
    int code;
    const char* text;
};
constexpr ErrorReasonRow kErrorReasons[] = {
    {ENOENT, "arquivo ou pasta n\343o encontrado"},
    {ENOTDIR, "parte do caminho n\343o \351 uma pasta"},
    {EISDIR, "\351 uma pasta, n\343o um arquivo"},
    {EACCES, "sem permiss\343o"},
    {EPERM, "sem permiss\343o"},
    {ENOSPC, "disco cheio"},
    {EROFS, "disco somente leitura"},
    {EPIPE, "quem lia a sa\355da a fechou"},
    {EIO, "erro de entrada e sa\355da no disco"},
};
// Any other code: {code} is its number.
constexpr char kOtherErrorReason[] = "erro {code} do sistema";

// The errno value as a short reason that says what to check: "disco cheio".
std::string ErrorReason(int code);
