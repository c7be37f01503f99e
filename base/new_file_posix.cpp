// A new file on POSIX: a temporary file of mode 0600 beside it, linked to its name (which fails
// when the name is taken), then the temporary name removed.
#include "base/new_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// The name, placed only where none is: link, or where the file system has no links (a FAT stick),
// a rename after a look.
int PlaceUnderName(const std::string& temporary, const std::string& path)
{
    if (::link(temporary.c_str(), path.c_str()) == 0)
        return 0;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return errno;
    if (::access(path.c_str(), F_OK) == 0)
        return EEXIST;
    return ::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
}

}  // namespace

int WriteNewFile(const std::string& path, const std::string& bytes)
{
    if (::access(path.c_str(), F_OK) == 0)
        return EEXIST;
    const std::string temporary = path + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const bool written = WriteAll(fd, bytes);
    int error = written ? 0 : (errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        error = PlaceUnderName(temporary, path);
    ::unlink(temporary.c_str());
    return error;
}
