// The simulated printer's output queue and its line speed.
#include "sim/sim_output.h"

#include <algorithm>

SimOutput::Clock::duration SimOutput::ByteTime() const
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL / baud));
}

void SimOutput::HostBytes(size_t count)
{
    if (baud > 0)
        hostDoneAt = std::max(Clock::now(), hostDoneAt) + ByteTime() * static_cast<long>(count);
}

SimOutput::Clock::time_point SimOutput::AnswerTime() const { return std::max(Clock::now(), hostDoneAt); }

void SimOutput::Add(std::vector<uint8_t> bytes, Clock::time_point due)
{
    if (!bytes.empty())
        runs.push_back({due, std::move(bytes), 0});
}

SimOutput::Flushed SimOutput::Flush(SimLine& line)
{
    Flushed flushed;
    const Clock::time_point now = Clock::now();
    while (!runs.empty() && runs.front().due <= now) {
        Run& run = runs.front();
        size_t count = run.bytes.size() - run.written;
        if (baud > 0) {
            // A byte reaches the host once its ten bits are through; an idle wire starts with this run.
            wireDoneAt = std::max(wireDoneAt, run.due);
            count = std::min(count, static_cast<size_t>(std::max<Clock::rep>(0, (now - wireDoneAt) / ByteTime())));
            if (count == 0)
                break;
        }
        const long n = line.Write(run.bytes.data() + run.written, count);
        if (n == 0) {
            flushed.blocked = true;
            break;
        }
        if (n < 0) {
            runs.clear();
            flushed.failed = true;
            break;
        }
        run.written += static_cast<size_t>(n);
        flushed.written += static_cast<size_t>(n);
        if (baud > 0)
            wireDoneAt += ByteTime() * n;
        if (run.written == run.bytes.size())
            runs.pop_front();
    }
    return flushed;
}

SimOutput::Clock::time_point SimOutput::NextTime() const
{
    if (runs.empty())
        return kNever;
    if (baud == 0)
        return runs.front().due;
    return std::max(wireDoneAt, runs.front().due) + ByteTime();
}

int MsUntil(SimOutput::Clock::time_point at)
{
    if (at == SimOutput::kNever)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(at - SimOutput::Clock::now()).count();
    return static_cast<int>(std::max<long long>(0, left));
}
