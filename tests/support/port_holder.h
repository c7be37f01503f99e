// Another program holding a serial port, for tests of ports that cannot be opened.
#pragma once

#include <string>
#include <sys/types.h>

// A child process that keeps the port open and locked, as the serial driver does, until the
// holder is destroyed; on Linux it runs under the program name given, as another program would,
// and may leave the lock out, as a script that merely opens the port does.
class PortHolder {
public:
    explicit PortHolder(const std::string& path, const std::string& programName = "kestro-holder",
                        bool locks = true);
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool held = false;
    long Pid() const { return static_cast<long>(child); }

    // False where the system lets a second program open a port that one holds (Wine); tests of
    // held ports have nothing to check there.
    static bool Enforced();

private:
    pid_t child = -1;
    int releaseEnd = -1;
    void* handle = nullptr;  // Windows: the exclusive handle, which this process keeps instead
};

// In a test of held ports: skips it where a held port opens all the same.
#define SKIP_WITHOUT_HELD_PORTS()                                                                                 \
    if (!PortHolder::Enforced())                                                                                  \
        GTEST_SKIP() << "ports are not held exclusively here";
