// A new file on Windows: a temporary file beside it, then moved to its name without replacing one
// that is there.
#include "base/new_file.h"

#include <algorithm>
#include <cerrno>
#include <windows.h>

namespace {

std::wstring Wide(const std::string& utf8)
{
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring result(size > 0 ? static_cast<size_t>(size) : 1, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &result[0], size);
    result.resize(result.size() - 1);
    return result;
}

// The system's error as the C library names it, for the texts that say why.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

}  // namespace

int WriteNewFile(const std::string& path, const std::string& bytes)
{
    const std::wstring target = Wide(path);
    const std::wstring temporary = target + L".part";
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
        return EEXIST;
    const HANDLE file =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ErrnoOf(::GetLastError());
    DWORD error = 0;
    size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            error = ::GetLastError() != 0 ? ::GetLastError() : ERROR_WRITE_FAULT;
        done += written;
    }
    if (error == 0 && !::FlushFileBuffers(file))
        error = ::GetLastError();
    ::CloseHandle(file);
    if (error == 0 && !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != 0)
        ::DeleteFileW(temporary.c_str());
    return error == 0 ? 0 : ErrnoOf(error);
}
