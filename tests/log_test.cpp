// Diagnostic log: line format, the switch, append across runs and silent failure.
#include "base/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("kestro-log-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        SetAppLogFolder(folder.string());
        SetAppLogClock([] { return LogTime {9, 5, 3, 7}; });
    }
    void TearDown() override
    {
        SetAppLogEnabled(false);
        SetAppLogClock({});
        SetAppLogFolder({});
        fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(folder);
    }
    std::string Contents() const
    {
        std::ifstream in(folder / "AppLog.log", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    fs::path folder;
};

TEST_F(LogTest, LineIsTimeStampBlankMessageCrLf)
{
    SetAppLogEnabled(true);
    AppLog("message");
    EXPECT_EQ(Contents(), "09:05:03.007 message\r\n");
}

TEST_F(LogTest, FormatsEveryFieldWithLeadingZeros)
{
    EXPECT_EQ(FormatLogLine({0, 0, 0, 0}, ""), "00:00:00.000 \r\n");
    EXPECT_EQ(FormatLogLine({23, 59, 59, 999}, "x"), "23:59:59.999 x\r\n");
}

TEST_F(LogTest, SwitchedOffCreatesNoFile)
{
    AppLog("nothing");
    EXPECT_FALSE(fs::exists(folder / "AppLog.log"));
}

TEST_F(LogTest, LinesOfTwoRunsFollowEachOther)
{
    SetAppLogEnabled(true);
    AppLog("first run");
    // A new run opens the same file again: nothing is held open between lines.
    AppLog("second run");
    EXPECT_EQ(Contents(), "09:05:03.007 first run\r\n09:05:03.007 second run\r\n");
}

TEST_F(LogTest, LongMessageIsWrittenWhole)
{
    SetAppLogEnabled(true);
    const std::string message(100000, 'x');
    AppLog(message);
    EXPECT_EQ(Contents(), "09:05:03.007 " + message + "\r\n");
}

TEST_F(LogTest, UnwritableFileIsDroppedSilently)
{
    SetAppLogEnabled(true);
    // A folder where the file should be cannot be opened for appending, even by root.
    fs::create_directories(folder / "AppLog.log");
    EXPECT_NO_THROW(AppLog("lost"));
    SetAppLogFolder((folder / "missing" / "deeper").string());
    EXPECT_NO_THROW(AppLog("lost too"));
    EXPECT_TRUE(fs::is_directory(folder / "AppLog.log"));
}

#ifndef _WIN32  // links and FIFOs as POSIX makes them; the Windows build runs the rest
TEST_F(LogTest, NeverFollowsALinkNorWaitsOnAPipe)
{
    SetAppLogEnabled(true);
    const fs::path target = folder / "elsewhere";
    std::ofstream(target).close();
    fs::create_symlink(target, folder / "AppLog.log");
    AppLog("through the link");
    EXPECT_EQ(fs::file_size(target), 0u);
    fs::remove(folder / "AppLog.log");
    // Opened for writing as it stands, a FIFO without a reader would stop the program for good.
    ASSERT_EQ(::mkfifo((folder / "AppLog.log").c_str(), 0600), 0);
    AppLog("into the pipe");
    EXPECT_TRUE(fs::is_fifo(folder / "AppLog.log"));
}
#endif

}  // namespace
