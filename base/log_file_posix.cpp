// The log on POSIX systems: its file opened without following a link and without blocking, so that
// a link or a FIFO placed under the log's name can neither redirect nor stop the program.
#include "base/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool AppendToLogFile(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat info {};
    bool written = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return written;
}
