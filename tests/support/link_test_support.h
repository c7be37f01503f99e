// Shared set-up of the link tests: fast pacing, a log read back as tags, and byte helpers.
#pragma once

#include "link/ecf_link.h"

#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Polls every 2 ms instead of 50 ms, so that the full waits of 120 and 200 polls stay short.
LinkPacing FastPacing();

// The messages of folder/AppLog.log, without their time stamps.
std::vector<std::string> ReadLogMessages(const std::string& folder);

// Switches the log on into a fresh folder for one test and reads it back as its messages.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> Tags() const;
    void Clear() const;
    const std::string& Folder() const { return folder; }

private:
    std::string folder;
};

// Number of times `tag` occurs in `tags`.
int CountTag(const std::vector<std::string>& tags, const std::string& tag);

Bytes Concat(std::initializer_list<Bytes> parts);
