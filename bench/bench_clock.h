// Clocks shared by the benchmark programs: wall time in milliseconds and the process's CPU time.
#pragma once

#include <chrono>
#include <sys/resource.h>

using BenchClock = std::chrono::steady_clock;

inline double Ms(BenchClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// User and system time of the whole process so far, in milliseconds.
inline double CpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}
