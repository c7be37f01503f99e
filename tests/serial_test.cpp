// Serial driver against real pseudo-terminals: opening, byte order, a full buffer, locking.
#include "serial/line_settings.h"
#include "serial/receive_buffer.h"
#include "serial/serial_device.h"
#include "serial/system.h"
#include "serial/telnet_codec.h"
#include "tests/support/pty_pair.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

constexpr int kChunk = 65536;

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return bytes;
}

std::vector<uint8_t> ReadAll(SerialDevice& device, uint32_t n)
{
    std::vector<uint8_t> bytes(n);
    bytes.resize(device.Read(bytes.data(), n));
    return bytes;
}

TEST(ReceiveBuffer, TakesWhatFitsAndKeepsOrder)
{
    ReceiveBuffer buffer(8);
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.Put(bytes, 6), 6u);
    EXPECT_EQ(buffer.Put(bytes + 6, 4), 2u);
    EXPECT_TRUE(buffer.Full());
    EXPECT_EQ(buffer.Put(bytes + 8, 2), 0u);

    uint8_t out[10] = {};
    EXPECT_EQ(buffer.Take(out, 3), 3u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t> {1, 2, 3}));
    EXPECT_FALSE(buffer.Full());
    EXPECT_EQ(buffer.Take(out, 10), 5u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 5), (std::vector<uint8_t> {4, 5, 6, 7, 8}));
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.Take(out, 1), 0u);
}

TEST(ReceiveBuffer, ClearEmptiesAndZeroCapacityAcceptsNothing)
{
    ReceiveBuffer buffer(4);
    const uint8_t bytes[] = {1, 2, 3, 4};
    buffer.Put(bytes, 4);
    buffer.Clear();
    EXPECT_TRUE(buffer.Empty());
    EXPECT_FALSE(buffer.Full());
    EXPECT_EQ(buffer.Count(), 0u);

    ReceiveBuffer none(0);
    EXPECT_EQ(none.Put(bytes, 4), 0u);
    EXPECT_EQ(none.Capacity(), 0u);
}

TEST(ReceiveBuffer, ConcurrentPutAndTakeLoseNothing)
{
    ReceiveBuffer buffer(64);
    const std::vector<uint8_t> sent = Pattern(200000);
    std::thread producer([&] {
        size_t offset = 0;
        while (offset < sent.size()) {
            const size_t n = std::min<size_t>(37, sent.size() - offset);
            const uint32_t put = buffer.Put(sent.data() + offset, static_cast<uint32_t>(n));
            offset += put;
            if (put == 0)
                std::this_thread::yield();
        }
    });
    std::vector<uint8_t> received;
    uint8_t out[29];
    while (received.size() < sent.size()) {
        const uint32_t got = buffer.Take(out, sizeof out);
        received.insert(received.end(), out, out + got);
        if (got == 0)
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_EQ(received, sent);
}

TEST(ModeText, ReadsTheFourFields)
{
    struct Case {
        const char* text;
        bool valid;
        long baud;
        char parity;
        int dataBits;
        int stopBits;
    } cases[] = {
        {"115200,n,8,1", true, 115200, 'n', 8, 1},
        {"9600,E,7,2", true, 9600, 'e', 7, 2},
        {" 2400 , o , 5 , 1 ", true, 2400, 'o', 5, 1},
        {"115200,n,8", false, 0, 0, 0, 0},
        {"115200,x,8,1", false, 0, 0, 0, 0},
        {"115200,n,9,1", false, 0, 0, 0, 0},
        {"115200,n,4,1", false, 0, 0, 0, 0},
        {"115200,n,8,3", false, 0, 0, 0, 0},
        {"fast,n,8,1", false, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0},
        {"115200,n,8,1,1", false, 0, 0, 0, 0},
        {"99999999999999,n,8,1", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto settings = ParseModeText(c.text);
        ASSERT_EQ(settings.has_value(), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(settings->baud, c.baud);
        EXPECT_EQ(settings->parity, c.parity);
        EXPECT_EQ(settings->dataBits, c.dataBits);
        EXPECT_EQ(settings->stopBits, c.stopBits);
    }
}

class SerialDeviceTest : public ::testing::Test {
protected:
    PtyPair line;
};

TEST_F(SerialDeviceTest, OpenConfiguresARawLineWithoutFlowControl)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    termios tio {};
    ASSERT_EQ(tcgetattr(line.KeptPort(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
}

TEST_F(SerialDeviceTest, OpenTwiceNeitherReopensNorStartsASecondReader)
{
    int opens = 0;
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk,
                        [&](const PortAddress& port, const std::string& mode, int size, HolderCheck check) {
                            ++opens;
                            return OpenSerialPort(port, mode, size, check);
                        });
    ASSERT_TRUE(device.Open());
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(opens, 1);
    // One reader only: every byte arrives exactly once.
    line.Send({1, 2, 3});
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 3; }));
    EXPECT_EQ(ReadAll(device, 10), (std::vector<uint8_t> {1, 2, 3}));
}

TEST_F(SerialDeviceTest, MissingPortFailsAndStaysHarmless)
{
    SerialDevice device(DeviceAddress("/dev/kestro-no-such-port"), "115200,n,8,1", 0, kChunk);
    EXPECT_FALSE(device.Open());
    EXPECT_NE(device.LastError(), 0);
    device.Close();
    const uint8_t byte = 0x16;
    EXPECT_FALSE(device.Write(&byte, 1));
    EXPECT_EQ(device.Available(), 0);
}

TEST_F(SerialDeviceTest, WritesReachTheFarEnd)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> frame {0x01, 0x05, 0x14, 0x00, 0x02, 0x00, 0x30, 0x7C, 0xC7};
    EXPECT_TRUE(device.Write(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(line.Receive(frame.size(), 5s), frame);
}

TEST_F(SerialDeviceTest, ReadGivesBytesInOrderAndNeverWaits)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(ReadAll(device, 5).size(), 0u);

    line.Send({10, 11, 12, 13, 14});
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 5; }));
    EXPECT_EQ(ReadAll(device, 2), (std::vector<uint8_t> {10, 11}));
    EXPECT_EQ(device.Available(), 3);
    EXPECT_EQ(ReadAll(device, 100), (std::vector<uint8_t> {12, 13, 14}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadAll(device, 100).size(), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(SerialDeviceTest, BytesSurviveCloseAndOpenUnlessPurged)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    line.Send({1, 2, 3});
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 3; }));
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(ReadAll(device, 10), (std::vector<uint8_t> {1, 2, 3}));

    line.Send({4, 5});
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 2; }));
    device.Close();
    device.Purge();
    ASSERT_TRUE(device.Open());
    EXPECT_EQ(device.Available(), 0);
}

TEST_F(SerialDeviceTest, FullBufferLosesNothing)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    device.SetReaderPause(1ms);
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> sent = Pattern(300000);
    std::thread farEnd([&] { line.Send(sent); });

    // Let the buffer fill up completely before the owner starts to read, then read slowly.
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 3 * kChunk; }, 60s));
    std::vector<uint8_t> received;
    while (received.size() < sent.size()) {
        const std::vector<uint8_t> part = ReadAll(device, 50000);
        received.insert(received.end(), part.begin(), part.end());
        if (part.empty()) {
            ASSERT_TRUE(WaitFor([&] { return device.Available() > 0; }, 30s));
        }
    }
    farEnd.join();
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent);
}

TEST_F(SerialDeviceTest, PortHeldByAnotherProcessIsRefused)
{
    line.ReleasePort();  // this process is the one that opens it
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PortOpenResult held = OpenSerialPort(DeviceAddress(line.Path()), "115200,n,8,1", kChunk);
        const char state = held.port ? 'y' : 'n';
        (void)!write(ready[1], &state, 1);
        char done;
        (void)!read(release[0], &done, 1);
        // Closed as a program closes its port; _exit would skip it and, while the test's own
        // descriptor keeps the terminal alive, leave it marked exclusive for ordinary users.
        held.port.reset();
        _exit(0);
    }
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    ASSERT_EQ(state, 'y');

    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    EXPECT_FALSE(device.Open());
    EXPECT_FALSE(ProbeSerialPort(line.Path()));

    (void)!write(release[1], "x", 1);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(ProbeSerialPort(line.Path()));
    EXPECT_TRUE(device.Open());
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

TEST_F(SerialDeviceTest, CloseIsPromptWithAHealthyReader)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    line.Send({1});
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 1; }));
    const auto start = std::chrono::steady_clock::now();
    device.Close();
    // One reader cycle is 55 ms at most; the margin covers sanitizer builds.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
}

TEST_F(SerialDeviceTest, WriteFailsOnceTheLineIsGone)
{
    SerialDevice device(DeviceAddress(line.Path()), "115200,n,8,1", 0, kChunk);
    ASSERT_TRUE(device.Open());
    line.Drop();
    const uint8_t byte = 0x05;
    EXPECT_FALSE(device.Write(&byte, 1));
    device.Close();
}

// The server's telnet commands leave the line's bytes whole however the reads cut them.
TEST(TelnetCodecTest, CommandsAreTakenOutOfTheLineAlsoSplitAcrossReads)
{
    const std::vector<uint8_t> stream = {'A', 255, 255, 'B', 255, 251, 1,   255, 250, 44,  101, 0,   1,   194,
                                         255, 255, 255, 240, 'C', 255, 253, 24,  255, 252, 1,   255, 241, 'D'};
    for (const size_t cut : {stream.size(), size_t {1}, size_t {5}}) {
        SCOPED_TRACE(cut);
        TelnetCodec codec;
        std::vector<uint8_t> data, replies;
        for (size_t at = 0; at < stream.size(); at += cut)
            codec.Decode(stream.data() + at, static_cast<int>(std::min(cut, stream.size() - at)), data, replies);
        EXPECT_EQ(data, (std::vector<uint8_t> {'A', 255, 'B', 'C', 'D'}));
        // Refused: the server's echo and the terminal type it asked for; a refusal gets no reply.
        EXPECT_EQ(replies, (std::vector<uint8_t> {255, 254, 1, 255, 252, 24}));
    }
    EXPECT_EQ(TelnetCodec::Escaped(stream.data(), 3), (std::vector<uint8_t> {'A', 255, 255, 255, 255}));
}

}  // namespace
