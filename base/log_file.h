// What the diagnostic log asks of the system, one implementation per system: appending a line
// to its file, and the local time.
#pragma once

#include <ctime>
#include <string>

// Appends the bytes in one write to the plain file at path, creating it (mode 0644 under the
// umask) when it is missing. Never follows a link, never waits on a device or a pipe, and
// writes nothing to anything but a plain file; false when nothing was written.
bool AppendToLogFile(const std::string& path, const std::string& bytes);

// The local time at `when`, without the buffer that localtime shares between threads (several
// threads may log at once); false when there is none.
bool LocalTimeOf(std::time_t when, std::tm& local);
