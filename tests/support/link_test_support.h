// Shared set-up of the link tests: fast pacing, a log read back as tags, and byte helpers.
#pragma once

#include "link/ecf_link.h"

#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Polls every 2 ms instead of 50 ms, and gives every answer 5 s (2,500 polls): an answer that is
// due comes in time however loaded the machine is, or however slow Wine. Only a wait that no
// answer ends lasts that long; tests whose waits end so use SilencePacing.
LinkPacing FastPacing();
// FastPacing with waits of 1 s (500 polls), for tests in which waits must end in silence: short
// enough for many silences, and still ample for the answers that such a test expects.
LinkPacing SilencePacing();

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
