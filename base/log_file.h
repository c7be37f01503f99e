// What the diagnostic log asks of the system, one implementation per system: appending a line
// to its file.
#pragma once

#include <string>

// Appends the bytes in one write to the plain file at path, creating it (mode 0644 under the
// umask) when it is missing. Never follows a link, never waits on a device or a pipe, and
// writes nothing to anything but a plain file; false when nothing was written.
bool AppendToLogFile(const std::string& path, const std::string& bytes);
