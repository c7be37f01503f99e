// Windows serial driver on real COM ports (run under Wine by scripts/test-windows): the printer
// simulator, a raw echo peer and a port that does not exist, named by environment variables.
#include "serial/port_list.h"
#include "serial/port_status.h"
#include "serial/serial_device.h"
#include "serial/serial_port.h"
#include "serial/system.h"
#include "tests/support/win_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kMode[] = "115200,n,8,1";
constexpr int kChunkSize = 65536;
constexpr uint8_t kSyn = 0x16;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s)
{
    const auto end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() > end)
            return condition();
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Reads from the device until n bytes came or the deadline passed.
std::vector<uint8_t> ReceiveFrom(SerialDevice& device, size_t n, std::chrono::milliseconds deadline = 10s)
{
    std::vector<uint8_t> bytes;
    WaitFor(
        [&] {
            uint8_t buffer[4096];
            const uint32_t got =
                device.Read(buffer, static_cast<uint32_t>(std::min(sizeof buffer, n - bytes.size())));
            bytes.insert(bytes.end(), buffer, buffer + got);
            return bytes.size() >= n;
        },
        deadline);
    return bytes;
}

DCB LineStateOf(const std::string& name)
{
    DCB dcb {};
    dcb.DCBlength = sizeof dcb;
    const HANDLE handle = CreateFileA(DevicePathForPortName(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (handle != INVALID_HANDLE_VALUE) {
        EXPECT_TRUE(GetCommState(handle, &dcb));
        CloseHandle(handle);
    }
    return dcb;
}

}  // namespace

// ---- Naming and the list of ports ----

TEST(WinPortNames, DevicePathIsTheWin32DeviceNamespace)
{
    EXPECT_EQ(DevicePathForPortName("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(DevicePathForPortName("COM255"), "\\\\.\\COM255");
    // As users type it after DOS; a colon after anything else stays.
    EXPECT_EQ(PortNameForDevicePath("COM41:"), "COM41");
    EXPECT_EQ(PortNameForDevicePath("COM0:"), "COM0:");
}

TEST(WinPortNames, CandidatesAreTheKnownPortsInNumberOrder)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    const auto candidates = ListCandidatePorts({});
    std::vector<int> numbers;
    for (const PortCandidate& candidate : candidates) {
        ASSERT_EQ(candidate.name.rfind("COM", 0), 0u) << candidate.name;
        EXPECT_EQ(candidate.path, "\\\\.\\" + candidate.name);
        numbers.push_back(std::stoi(candidate.name.substr(3)));
    }
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_TRUE(numbers.empty() || (numbers.front() >= 1 && numbers.back() <= 255));
    const auto listed = [&](const std::string& name) {
        return std::any_of(candidates.begin(), candidates.end(),
                           [&](const PortCandidate& c) { return c.name == name; });
    };
    EXPECT_TRUE(listed(echo));
    EXPECT_FALSE(listed(missing));
}

TEST(WinPortNames, ExtraPathsFollowOnceEach)
{
    const auto known = ListCandidatePorts({});
    const auto candidates =
        ListCandidatePorts({"\\\\.\\CNCA0", known.empty() ? "" : known.front().path, "\\\\.\\CNCA0", ""});
    ASSERT_EQ(candidates.size(), known.size() + 1);
    EXPECT_EQ(candidates.back().path, "\\\\.\\CNCA0");
    EXPECT_EQ(candidates.back().name, "CNCA0");
}

// ---- Probing ----

TEST(WinProbe, MissingPortFails)
{
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    EXPECT_FALSE(ProbeSerialPort(DevicePathForPortName(missing)));
}

TEST(WinProbe, FreePortSucceedsAndStaysFree)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    EXPECT_TRUE(ProbeSerialPort(DevicePathForPortName(echo)));
    // The probe closed its handle: a second one succeeds too.
    EXPECT_TRUE(ProbeSerialPort(DevicePathForPortName(echo)));
}

TEST(WinProbe, PortHeldOpenIsRefusedUntilClosed)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine lets a second handle open a serial device; Windows does not";
    SerialDevice device(ReadPortName(echo), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open());
    EXPECT_FALSE(ProbeSerialPort(DevicePathForPortName(echo)));
    const auto reports = CheckPorts({{DevicePathForPortName(echo), echo, ""}});
    EXPECT_EQ(reports[0].status.state, PortState::kInUse);
    EXPECT_EQ(reports[0].status.error, ERROR_ACCESS_DENIED);
    device.Close();
    EXPECT_TRUE(ProbeSerialPort(DevicePathForPortName(echo)));
}

TEST(WinProbe, ScanFindsTheMappedPortsOnly)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    std::vector<std::string> found;
    for (const PortCandidate& candidate : ListCandidatePorts({}))
        if (ProbeSerialPort(candidate.path))
            found.push_back(candidate.name);
    EXPECT_NE(std::find(found.begin(), found.end(), echo), found.end());
    EXPECT_EQ(std::find(found.begin(), found.end(), missing), found.end());
}

// ---- Opening and configuring ----

TEST(WinOpen, MissingPortFailsAndWritesAreRefused)
{
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    SerialDevice device(ReadPortName(missing), kMode, 0, kChunkSize);
    EXPECT_FALSE(device.Open());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_NE(device.LastError(), 0);
    device.Close();
    const uint8_t syn = kSyn;
    EXPECT_FALSE(device.Write(&syn, 1));
}

TEST(WinOpen, MissingPortReportsTheSystemError)
{
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    const PortOpenResult opened = OpenSerialPort(ReadPortName(missing), kMode, kChunkSize);
    EXPECT_FALSE(opened.port);
    EXPECT_TRUE(opened.failure.error == ERROR_FILE_NOT_FOUND || opened.failure.error == ERROR_PATH_NOT_FOUND)
        << "error " << opened.failure.error;
}

TEST(WinOpen, ModeTextSetsTheLine)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    const std::string path = DevicePathForPortName(echo);
    {
        const PortOpenResult opened = OpenSerialPort(DeviceAddress(path), "9600,e,7,2", 4096);
        ASSERT_TRUE(opened.port) << "error " << opened.failure.error;
    }
    // A pseudo-terminal keeps 8 bits without parity whatever it is asked; speed and stop bits
    // show that the mode text reached the line.
    DCB dcb = LineStateOf(echo);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    {
        const PortOpenResult opened = OpenSerialPort(DeviceAddress(path), kMode, kChunkSize);
        ASSERT_TRUE(opened.port) << "error " << opened.failure.error;
    }
    dcb = LineStateOf(echo);
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
}

TEST(WinOpen, EveryHandshakeIsSwitchedOff)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    const std::string path = DevicePathForPortName(echo);
    // Leave the line with hardware and software handshake on, as another program might.
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DCB dcb {};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(handle, &dcb));
    dcb.fOutxCtsFlow = 1;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    SetCommState(handle, &dcb);
    CloseHandle(handle);

    {
        ASSERT_TRUE(OpenSerialPort(DeviceAddress(path), kMode, kChunkSize).port);
    }
    dcb = LineStateOf(echo);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_NE(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
}

// ---- Reading and writing on the port itself ----

TEST(WinPort, EmptyReadWaitsBrieflyAndReturnsNothing)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    PortOpenResult opened = OpenSerialPort(ReadPortName(echo), kMode, kChunkSize);
    ASSERT_TRUE(opened.port);
    uint8_t buffer[64];
    // Ten reads with nothing queued: each waits about 5 ms, none blocks.
    const auto start = Clock::now();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(opened.port->Read(buffer, sizeof buffer), 0);
    const auto spent = Clock::now() - start;
    EXPECT_GE(spent, 10ms);
    EXPECT_LT(spent, 5s);
}

TEST(WinPort, ReadReturnsWhatIsQueuedWithoutWaitingForMore)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    PortOpenResult opened = OpenSerialPort(ReadPortName(echo), kMode, kChunkSize);
    ASSERT_TRUE(opened.port);
    const std::vector<uint8_t> sent = Pattern(300);
    ASSERT_TRUE(opened.port->Write(sent.data(), static_cast<int>(sent.size())));
    std::vector<uint8_t> got;
    ASSERT_TRUE(WaitFor([&] {
        uint8_t buffer[kChunkSize];
        const int n = opened.port->Read(buffer, kChunkSize);
        got.insert(got.end(), buffer, buffer + n);
        return got.size() >= sent.size();
    }));
    EXPECT_EQ(got, sent);
}

// ---- The device on the simulated printer ----

TEST(WinDevice, SynIsAnsweredWithSynAndSequence)
{
    REQUIRE_PORT("KESTRO_WIN_SIM_PORT", sim);
    SerialDevice device(ReadPortName(sim), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open()) << "error " << device.LastError();
    device.Purge();
    const uint8_t syn = kSyn;
    ASSERT_TRUE(device.Write(&syn, 1));
    const std::vector<uint8_t> answer = ReceiveFrom(device, 2);
    ASSERT_EQ(answer.size(), 2u);
    EXPECT_EQ(answer[0], kSyn);
}

TEST(WinDevice, CloseAndReopenKeepsTheLineWorking)
{
    REQUIRE_PORT("KESTRO_WIN_SIM_PORT", sim);
    SerialDevice device(ReadPortName(sim), kMode, 0, kChunkSize);
    const uint8_t syn = kSyn;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(device.Open()) << "round " << round << ", error " << device.LastError();
        ASSERT_TRUE(device.Write(&syn, 1));
        const std::vector<uint8_t> answer = ReceiveFrom(device, 2);
        ASSERT_EQ(answer.size(), 2u) << "round " << round;
        EXPECT_EQ(answer[0], kSyn);
        device.Close();
        EXPECT_FALSE(device.IsOpen());
        const uint8_t more = kSyn;
        EXPECT_FALSE(device.Write(&more, 1));
    }
}

// ---- The device on the echo peer ----

TEST(WinDevice, SecondOpenKeepsTheFirstHandle)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    SerialDevice device(ReadPortName(echo), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open());
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> sent = Pattern(100);
    ASSERT_TRUE(device.Write(sent.data(), static_cast<int>(sent.size())));
    EXPECT_EQ(ReceiveFrom(device, sent.size()), sent);
    // One Close releases the port: no second handle or reader was left behind.
    device.Close();
    EXPECT_TRUE(ProbeSerialPort(DevicePathForPortName(echo)));
}

TEST(WinDevice, LargeTransferArrivesWholeAndInOrder)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    SerialDevice device(ReadPortName(echo), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> sent = Pattern(3000);
    std::vector<uint8_t> got;
    // In pieces, so that the echo never has more in flight than a pseudo-terminal holds.
    for (size_t at = 0; at < sent.size(); at += 1000) {
        ASSERT_TRUE(device.Write(sent.data() + at, 1000));
        const std::vector<uint8_t> piece = ReceiveFrom(device, 1000);
        got.insert(got.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(got, sent);
}

TEST(WinDevice, FullBufferHoldsBackTheRestInOrder)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    constexpr int kSmallChunk = 256;  // receive buffer of 768 bytes
    SerialDevice device(ReadPortName(echo), kMode, 0, kSmallChunk);
    device.SetReaderPause(5ms);
    ASSERT_TRUE(device.Open());
    const std::vector<uint8_t> sent = Pattern(2000);
    ASSERT_TRUE(device.Write(sent.data(), static_cast<int>(sent.size())));
    ASSERT_TRUE(WaitFor([&] { return device.Available() == 3 * kSmallChunk; }));
    std::vector<uint8_t> got = ReceiveFrom(device, sent.size());
    EXPECT_EQ(got, sent);
}

TEST(WinDevice, CloseIsPromptWhileTheReaderWaits)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    SerialDevice device(ReadPortName(echo), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open());
    const auto start = Clock::now();
    device.Close();
    // The reader's empty reads end after 5 ms; a read that blocked would hold Close for good.
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_FALSE(device.IsOpen());
}

TEST(WinDevice, ReaderKeepsPollingAfterEmptyReads)
{
    REQUIRE_PORT("KESTRO_WIN_ECHO_PORT", echo);
    SerialDevice device(ReadPortName(echo), kMode, 0, kChunkSize);
    ASSERT_TRUE(device.Open());
    // Let the reader come back empty a number of times (each cycle about 55 ms).
    const auto idleUntil = Clock::now() + 300ms;
    WaitFor([&] { return Clock::now() >= idleUntil; });
    EXPECT_EQ(device.Available(), 0);
    const std::vector<uint8_t> sent = Pattern(10);
    ASSERT_TRUE(device.Write(sent.data(), static_cast<int>(sent.size())));
    EXPECT_EQ(ReceiveFrom(device, sent.size()), sent);
}
