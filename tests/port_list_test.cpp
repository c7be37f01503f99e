// The list of candidate serial ports on Linux: order, names, extra paths and duplicates; what is
// never opened, and what another program holds.
#include "serial/port_address.h"
#include "serial/port_list.h"
#include "serial/port_status.h"
#include "serial/serial_port.h"
#include "serial/system.h"

#include "tests/support/port_holder.h"
#include "tests/support/pty_pair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The entries of the list whose path is one of paths, in list order.
std::vector<std::string> NamesAmong(const std::vector<PortCandidate>& list, const std::set<std::string>& paths)
{
    std::vector<std::string> names;
    for (const auto& port : list) {
        if (paths.count(port.path))
            names.push_back(port.name);
    }
    return names;
}

// A port's name read once: a device by its path, a server port by its scheme, host and number;
// a server name that does not read keeps no host, so that its open says the name was not found.
TEST(PortAddress, ReadsDevicesAndServerPortsAndNothingElse)
{
    const struct {
        const char* name;
        PortKind kind;
        const char* path;
        const char* host;
        const char* where;
    } rows[] = {
        {"ttyUSB0", PortKind::kDevice, "/dev/ttyUSB0", "", ""},
        {"/tmp/link", PortKind::kDevice, "/tmp/link", "", ""},
        {"socket://loja12:3001", PortKind::kRawServer, "socket://loja12:3001", "loja12", "loja12:3001"},
        {"rfc2217://10.0.0.5:65535", PortKind::kRfc2217Server, "rfc2217://10.0.0.5:65535", "10.0.0.5",
         "10.0.0.5:65535"},
        {"socket://[::1]:1", PortKind::kRawServer, "socket://[::1]:1", "::1", "[::1]:1"},
        {"socket://::1:3001", PortKind::kRawServer, "socket://::1:3001", "", ""},
        {"socket://loja12", PortKind::kRawServer, "socket://loja12", "", ""},
        {"socket://loja12:", PortKind::kRawServer, "socket://loja12:", "", ""},
        {"socket://loja12:0", PortKind::kRawServer, "socket://loja12:0", "", ""},
        {"socket://loja12:65536", PortKind::kRawServer, "socket://loja12:65536", "", ""},
        {"socket://loja12:30x1", PortKind::kRawServer, "socket://loja12:30x1", "", ""},
        {"socket://:3001", PortKind::kRawServer, "socket://:3001", "", ""},
        {"socket://eu@loja12:3001", PortKind::kRawServer, "socket://eu@loja12:3001", "", ""},
        {"rfc2217://", PortKind::kRfc2217Server, "rfc2217://", "", ""},
    };
    for (const auto& row : rows) {
        const PortAddress address = ReadPortName(row.name);
        EXPECT_EQ(address.kind, row.kind) << row.name;
        EXPECT_EQ(address.name, row.name);
        EXPECT_EQ(address.path, row.path);
        EXPECT_EQ(address.host, row.host) << row.name;
        EXPECT_EQ(address.Where(), row.where) << row.name;
    }
    for (const char* word : {"/dev/ttyS0", "socket://loja12", "rfc2217://x:1"})
        EXPECT_TRUE(IsPortWord(word)) << word;
    for (const char* word : {"ttyUSB0", "COM3", "socket:/loja12:1", "-p"})
        EXPECT_FALSE(IsPortWord(word)) << word;
}

TEST(PortList, ExtraPathsAreOrderedByFamilyThenNumber)
{
    const std::vector<std::string> extra = {"/dev/ttyUSB10", "/dev/pts/12", "/dev/ttyUSB2", "/dev/ttyACM0",
                                            "/dev/pts/3",    "/dev/ttyUSB", "/dev/pts/100"};
    const auto list = ListCandidatePorts(extra);
    EXPECT_EQ(
        NamesAmong(list, {extra.begin(), extra.end()}),
        (std::vector<std::string> {"pts/3", "pts/12", "pts/100", "ttyACM0", "ttyUSB", "ttyUSB2", "ttyUSB10"}));
}

TEST(PortList, WholeListIsSortedWithoutDuplicates)
{
    const auto list = ListCandidatePorts({"/dev/ttyS1", "/dev/ttyS1", "/dev/pts/4"});
    std::set<std::string> paths;
    for (const auto& port : list)
        EXPECT_TRUE(paths.insert(port.path).second) << port.path;
    EXPECT_EQ(
        std::count_if(list.begin(), list.end(), [](const PortCandidate& p) { return p.path == "/dev/ttyS1"; }), 1);
    // Every name is the path below /dev/.
    for (const auto& port : list)
        EXPECT_EQ("/dev/" + port.name, port.path);
}

TEST(PortList, SystemPortsAreListedOnceWhenAlsoNamedByTheUser)
{
    const auto alone = ListCandidatePorts({});
    if (alone.empty())
        GTEST_SKIP() << "this machine lists no serial port";
    std::vector<std::string> again;
    for (const auto& port : alone)
        again.push_back(port.path);
    const auto both = ListCandidatePorts(again);
    ASSERT_EQ(both.size(), alone.size());
    for (size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(both[i].path, alone[i].path);
        EXPECT_EQ(both[i].description, alone[i].description);
    }
}

TEST(PortList, SystemListHoldsOnlyRealDevices)
{
    const std::vector<PortCandidate> ports = ListCandidatePorts({});
    if (ports.empty())
        GTEST_SKIP() << "this machine lists no serial port: nothing to check";
    for (const auto& port : ports) {
        // Virtual consoles and the console alias have no device behind them.
        EXPECT_NE(port.name, "console");
        EXPECT_NE(port.name, "tty");
        EXPECT_FALSE(port.name.size() > 3 && port.name.compare(0, 3, "tty") == 0 &&
                     std::isdigit(static_cast<unsigned char>(port.name[3])))
            << port.name;
        EXPECT_TRUE(std::filesystem::exists("/sys/class/tty/" + port.name + "/device/driver")) << port.name;
    }
}

TEST(PortList, PathOutsideDevKeepsItsWholeName)
{
    const auto list = ListCandidatePorts({"/tmp/kestro-port"});
    EXPECT_EQ(NamesAmong(list, {"/tmp/kestro-port"}), std::vector<std::string> {"/tmp/kestro-port"});
}

TEST(PortList, OnlySerialTerminalsAreEverOpened)
{
    const std::string fifo = "/tmp/kestro-fifo-" + std::to_string(::getpid());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path :
         {std::string("/dev/null"), std::string("/dev/tty"), std::string("/dev/ptmx"), fifo}) {
        SCOPED_TRACE(path);
        EXPECT_NE(NotASerialPortReason(path), "");
        EXPECT_EQ(OpenSerialPort(DeviceAddress(path), "115200,n,8,1", 4096).failure.error, ENOTTY);
    }
    ::unlink(fifo.c_str());
    PtyPair line;
    EXPECT_EQ(NotASerialPortReason(line.Path()), "");
    // A path outside /dev is that path, not one below /dev.
    EXPECT_EQ(DevicePathForPortName("/tmp/x"), "/tmp/x");
}

TEST(PortList, PortThatAnotherProgramHoldsOpenIsNotOffered)
{
    PtyPair line;
    line.ReleasePort();
    const std::vector<PortCandidate> candidates {{line.Path(), PortNameForDevicePath(line.Path()), ""}};
    int release[2];
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {  // a terminal program: an ordinary open, no lock of any kind
        const int fd = ::open(line.Path().c_str(), O_RDWR | O_NOCTTY);
        char done;
        (void)!::read(release[0], &done, 1);
        ::_exit(fd >= 0 ? 0 : 1);
    }
    EXPECT_TRUE(WaitFor([&] { return FreePorts(CheckPorts(candidates)).empty(); }));
    (void)!::write(release[1], "x", 1);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FreePorts(CheckPorts(candidates)).size(), 1u);
    ::close(release[0]);
    ::close(release[1]);
}

TEST(PortList, ALiveLockFileRefusesEveryOpenAndNamesItsProgram)
{
    PtyPair line;
    line.ReleasePort();
    std::string name = PortNameForDevicePath(line.Path());
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path file = "/run/lock/LCK.." + name;
    if (!(std::ofstream(file) << std::setw(10) << ::getppid() << "\n"))
        GTEST_SKIP() << "no lock file can be written here";
    // The open for each command as well as the connecting one: the lock file costs no walk.
    for (const HolderCheck check : {HolderCheck::kCheap, HolderCheck::kLook}) {
        const PortOpenResult opened = OpenSerialPort(DeviceAddress(line.Path()), "115200,n,8,1", 4096, check);
        EXPECT_EQ(opened.port, nullptr);
        EXPECT_EQ(opened.failure.pid, ::getppid());
    }
    std::filesystem::remove(file);
    EXPECT_NE(OpenSerialPort(DeviceAddress(line.Path()), "115200,n,8,1", 4096, HolderCheck::kCheap).port, nullptr);
}

TEST(PortList, AHoldersNameIsShownInPrintableCharactersOnly)
{
    PtyPair line;
    line.ReleasePort();
    PortHolder holder(line.Path(), "M\x1b]0;x\x07\xC3\xA9");  // a title escape and an accent
    ASSERT_TRUE(holder.held);
    const std::vector<PortReport> reports = CheckPorts({{line.Path(), PortNameForDevicePath(line.Path()), ""}});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].status.state, PortState::kInUse);
    EXPECT_EQ(reports[0].status.holder, "M?]0;x???");
}

// A sysfs tree: a CH340 that no driver took, an FTDI with its tty, a mouse, a root hub and a device
// whose ids cannot be read.
TEST(PortList, KnownChipWithoutTtyIsReportedFromSysfs)
{
    const std::filesystem::path root = std::filesystem::path(testing::TempDir()) / "kestro-sysfs";
    std::filesystem::remove_all(root);
    const auto device = [&](const std::string& name, const std::string& vid, const std::string& pid,
                            const std::string& interfaceEntry) {
        const auto dir = root / "bus/usb/devices" / name;
        std::filesystem::create_directories(dir / (name + ":1.0") / interfaceEntry);
        std::ofstream(dir / "uevent") << "DEVTYPE=usb_device\nPRODUCT=" << vid << "/" << pid
                                      << "/254\nTYPE=0/0/0\n";
        std::ofstream(dir / "product") << "USB2.0-Serial\n";
    };
    device("1-1", "1a86", "7523", "");
    device("1-2", "0403", "6001", "ttyUSB0/tty/ttyUSB0");
    device("1-3", "046d", "c077", "");
    device("usb1", "1d6b", "0002", "");
    device("1-4", "zz", "7523", "");
    const std::vector<AdapterReport> adapters = DiagnoseLinuxUsbDevices(ListLinuxUsbDevices(root.string()));
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[0].kind, AdapterProblem::kNoModule);
    EXPECT_EQ(adapters[0].module, "ch341");
    EXPECT_EQ(adapters[1].port, "ttyUSB0");
    EXPECT_EQ(adapters[1].usb.chip, "FTDI FT232R");
    EXPECT_EQ(adapters[1].kind, AdapterProblem::kNone);
    std::filesystem::remove_all(root);
}

}  // namespace
