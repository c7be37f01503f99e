// Diagnostic log: one time-stamped line per step, appended to AppLog.log while the switch is on.
#pragma once

#include <functional>
#include <string>

struct LogTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Writes one line when the log is switched on; a failure to write drops the line silently.
void AppLog(const std::string& message);

void SetAppLogEnabled(bool on);
bool AppLogEnabled();

// The log line as it goes into the file, line end included.
std::string FormatLogLine(const LogTime& time, const std::string& message);

// Seams for tests: a fixed clock and another folder. An empty value restores the default
// (the local clock, the current directory).
void SetAppLogClock(std::function<LogTime()> clock);
void SetAppLogFolder(const std::string& folder);
