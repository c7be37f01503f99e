// The watch on a device port's opens through inotify, which queues an event at every open and
// close of the device node, whoever makes it and by whichever of its names.
#include "serial/system.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t kClosed = IN_CLOSE_WRITE | IN_CLOSE_NOWRITE;

bool Watch(int handle, const std::string& path)
{
    return inotify_add_watch(handle, path.c_str(), IN_OPEN | kClosed) >= 0;
}

}  // namespace

DeviceOpenWatch::DeviceOpenWatch(const std::string& path)
    : path(path),
      handle(path.empty() ? -1 : inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (handle >= 0 && !Watch(handle, path)) {
        ::close(handle);
        handle = -1;
    }
}

DeviceOpenWatch::~DeviceOpenWatch()
{
    if (handle >= 0)
        ::close(handle);
}

bool DeviceOpenWatch::OpenElsewhere()
{
    TakeEvents();
    return lost || open > 0;
}

void DeviceOpenWatch::OursAlone()
{
    if (handle < 0)
        return;
    TakeEvents();
    // A node made anew (an adapter plugged back) is watched from here on.
    lost = !Watch(handle, path);
    open = 1;
}

void DeviceOpenWatch::TakeEvents()
{
    if (handle < 0)
        return;
    alignas(inotify_event) char events[4096];
    ssize_t got;
    while ((got = ::read(handle, events, sizeof events)) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->mask & IN_OPEN)
                ++open;
            // Closes of what was open before the watch began are not counted below none.
            else if ((event->mask & kClosed) && open > 0)
                --open;
            // The queue ran over, or the node went away: opens may have been missed.
            if (event->mask & (IN_Q_OVERFLOW | IN_IGNORED))
                lost = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}
