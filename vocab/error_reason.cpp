// The reasons a technician meets with files: a wrong name, a folder they may not write, a
// full disk.
#include "vocab/error_reason.h"

#include <cerrno>

std::string ErrorReason(int code)
{
    switch (code) {
    case ENOENT:
        return "arquivo ou pasta n\343o encontrado";
    case ENOTDIR:
        return "parte do caminho n\343o \351 uma pasta";
    case EISDIR:
        return "\351 uma pasta, n\343o um arquivo";
    case EACCES:
    case EPERM:
        return "sem permiss\343o";
    case ENOSPC:
        return "disco cheio";
    case EROFS:
        return "disco somente leitura";
    case EPIPE:
        return "quem lia a sa\355da a fechou";
    case EIO:
        return "erro de entrada e sa\355da no disco";
    default:
        return "erro " + std::to_string(code) + " do sistema";
    }
}
