// Shared set-up of the link tests.
#include "tests/support/link_test_support.h"

#include "base/log.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

LinkPacing FastPacing()
{
    LinkPacing pacing;
    pacing.step = std::chrono::milliseconds(2);
    pacing.openWait = std::chrono::milliseconds(0);
    pacing.readerPause = std::chrono::milliseconds(1);
    pacing.answerPolls = pacing.headerPolls = 2500;
    return pacing;
}

LinkPacing SilencePacing()
{
    LinkPacing pacing = FastPacing();
    pacing.answerPolls = pacing.headerPolls = 500;
    return pacing;
}

LogCapture::LogCapture()
{
    folder = (fs::temp_directory_path() / ("kestro-link-log-" + std::to_string(::getpid()))).string();
    fs::remove_all(folder);
    fs::create_directories(folder);
    SetAppLogFolder(folder);
    SetAppLogEnabled(true);
}

LogCapture::~LogCapture()
{
    SetAppLogEnabled(false);
    SetAppLogFolder({});
    fs::remove_all(folder);
}

std::vector<std::string> ReadLogMessages(const std::string& folder)
{
    std::vector<std::string> messages;
    std::ifstream in(fs::path(folder) / "AppLog.log", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        // "hh:mm:ss.mmm message\r"
        if (line.size() >= 14)
            messages.push_back(line.substr(13, line.size() - 14));
    }
    return messages;
}

std::vector<std::string> LogCapture::Tags() const { return ReadLogMessages(folder); }

void LogCapture::Clear() const { fs::remove(fs::path(folder) / "AppLog.log"); }

int CountTag(const std::vector<std::string>& tags, const std::string& tag)
{
    return static_cast<int>(std::count(tags.begin(), tags.end(), tag));
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
