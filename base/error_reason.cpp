// The reasons a technician meets with files: a wrong name, a folder they may not write, a
// full disk.
#include "base/error_reason.h"

#include <cerrno>

std::string ErrorReason(int code)
{
    switch (code) {
    case ENOENT:
        return "arquivo ou pasta não encontrado";
    case ENOTDIR:
        return "parte do caminho não é uma pasta";
    case EISDIR:
        return "é uma pasta, não um arquivo";
    case EACCES:
    case EPERM:
        return "sem permissão";
    case ENOSPC:
        return "disco cheio";
    case EROFS:
        return "disco somente leitura";
    case EPIPE:
        return "quem lia a saída a fechou";
    case EIO:
        return "erro de entrada e saída no disco";
    default:
        return "erro " + std::to_string(code) + " do sistema";
    }
}
