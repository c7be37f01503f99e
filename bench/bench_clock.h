// Clocks shared by the benchmark programs: wall time in milliseconds and the process's CPU time;
// the moments of the line pulls and the median, so that both programs' figures compare.
#pragma once

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <vector>

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

// The pulled-line figures: this many runs, the line pulled at a different moment of each.
constexpr int kPullRuns = 8;
inline std::chrono::milliseconds PullDelay(int run) { return std::chrono::milliseconds(120 + 47 * run); }

// The middle value once sorted (of an even count, the upper one).
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
