// A child process that holds a serial port.
#include "tests/support/port_holder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

PortHolder::PortHolder(const std::string& path, const std::string& programName, bool locks)
{
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0)
        return;
    child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        ::prctl(PR_SET_NAME, programName.c_str());
        // Hold this one port only, not every descriptor the test process had open.
        const int keep[] = {ready[1], release[0]};
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keep[0] && fd != keep[1])
                ::close(fd);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = fd >= 0 && (!locks || ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        char ignored;
        (void)!::read(release[0], &ignored, 1);  // returns when the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    releaseEnd = release[1];
    char answer = 'n';
    held = child > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
}

PortHolder::~PortHolder()
{
    if (releaseEnd >= 0)
        ::close(releaseEnd);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
}

bool PortHolder::Enforced() { return true; }
