// Diagnostic log writer: opens, appends, flushes and closes the file for every line.
#include "base/log.h"

#include "base/local_time.h"
#include "base/log_file.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

bool logEnabled = false;
std::function<LogTime()> logClock;
std::string logFolder;
// Links on several threads (the port search) log at once: each line goes out whole.
std::mutex writeLock;

LogTime LocalNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local {};
    if (!LocalTimeOf(seconds, local))
        return {};
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis)};
}

std::string LogPath() { return logFolder.empty() ? std::string("AppLog.log") : logFolder + "/AppLog.log"; }

}  // namespace

std::string FormatLogLine(const LogTime& time, const std::string& message)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", time.hour, time.minute, time.second,
                  time.millisecond);
    return std::string(stamp) + " " + message + "\r\n";
}

void AppLog(const std::string& message)
{
    if (!logEnabled)
        return;
    const std::string line = FormatLogLine(logClock ? logClock() : LocalNow(), message);
    const std::lock_guard<std::mutex> hold(writeLock);
    AppendToLogFile(LogPath(), line);
}

void SetAppLogEnabled(bool on) { logEnabled = on; }
bool AppLogEnabled() { return logEnabled; }
void SetAppLogClock(std::function<LogTime()> clock) { logClock = std::move(clock); }
void SetAppLogFolder(const std::string& folder) { logFolder = folder; }
