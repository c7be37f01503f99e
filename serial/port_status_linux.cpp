// Linux checks made before a device is opened or offered as a serial port: that it is a serial
// terminal and not the user's own, that a UART is behind it, that no other program holds it, and
// why its open failed.
#include "serial/port_list.h"
#include "serial/system.h"
#include "serial/port_status.h"
#include "serial/serial_port.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <linux/serial.h>
#include <map>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path kTtyClass = "/sys/class/tty";
constexpr unsigned kVirtualConsoleMajor = 4;  // tty0..tty63; its higher minors are ttyS ports
constexpr unsigned kVirtualConsoleMinors = 64;
constexpr unsigned kTtyAuxMajor = 5;  // /dev/tty, /dev/console, /dev/ptmx
constexpr unsigned kPtySlaveFirstMajor = 136;
constexpr unsigned kPtySlaveLastMajor = 143;

// The controlling terminal's device number from /proc/self/stat (0 when there is none).
dev_t ControllingTerminal()
{
    std::ifstream in("/proc/self/stat");
    std::string stat;
    std::getline(in, stat);
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    long ppid = 0, group = 0, session = 0;
    unsigned long ttyNr = 0;
    if (!(fields >> state >> ppid >> group >> session >> ttyNr))
        return 0;
    return makedev((ttyNr >> 8) & 0xfff, (ttyNr & 0xff) | ((ttyNr >> 12) & 0xfff00));
}

bool InTtyClass(dev_t device)
{
    // Pseudo-terminal slaves (virtual ports, the simulator's) are terminals that sysfs does
    // not list.
    if (major(device) >= kPtySlaveFirstMajor && major(device) <= kPtySlaveLastMajor)
        return true;
    std::error_code error;
    const fs::path subsystem = fs::read_symlink("/sys/dev/char/" + std::to_string(major(device)) + ":" +
                                                    std::to_string(minor(device)) + "/subsystem",
                                                error);
    return !error && subsystem.filename() == "tty";
}

// The process named in a UUCP lock file: ten ASCII digits as a rule, a binary int in old ones.
long LockOwner(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() == sizeof(int) && text.find_first_of("0123456789 \n") == std::string::npos) {
        int binary = 0;
        text.copy(reinterpret_cast<char*>(&binary), sizeof binary);
        return binary;
    }
    return std::strtol(text.c_str(), nullptr, 10);
}

bool Alive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// The live process, other than this one, that a lock file names for the port; 0 when none.
long LockHolder(const std::string& path)
{
    // Lock files name the device below /dev, slashes made underscores (LCK..ttyUSB0, LCK..pts_3).
    std::string name = PortNameForDevicePath(path);
    for (char& c : name)
        c = c == '/' ? '_' : c;
    const std::string base = fs::path(path).filename().string();
    for (const char* folder : {"/var/lock", "/run/lock"}) {
        for (const std::string& lockName : {name, base}) {
            const fs::path file = fs::path(folder) / ("LCK.." + lockName);
            std::error_code error;
            if (!fs::is_regular_file(file, error))
                continue;
            const long owner = LockOwner(file);
            if (owner != ::getpid() && Alive(owner))
                return owner;
        }
    }
    return 0;
}

// A link's target in one call ("" when unreadable): the library's own asks for its size first, and a
// scan reads every descriptor of every process.
std::string LinkTarget(const fs::path& link)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

// The devices that other processes have open, as far as this user may see their descriptors,
// each with one process that holds it: one pass over /proc serves a whole scan.
std::map<std::string, long> DevicesOpenElsewhere()
{
    std::map<std::string, long> open;
    std::error_code error;
    const std::string self = std::to_string(::getpid());
    for (const auto& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code denied;  // other users' descriptors are not ours to see
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", denied)) {
            const std::string target = LinkTarget(fd.path());
            if (target.empty() && errno == EACCES)
                break;  // one descriptor refused: the process' others are refused too
            if (IsDevicePathArgument(target))
                open.emplace(target, std::stol(pid));
        }
    }
    return open;
}

// The devices open elsewhere, looked for when the first port needs them: a scan whose ports all
// fail the earlier checks (no UART, no device) walks no process at all.
class OpenElsewhere {
public:
    const std::map<std::string, long>& Devices()
    {
        if (!scanned)
            devices = DevicesOpenElsewhere();
        scanned = true;
        return devices;
    }

private:
    bool scanned = false;
    std::map<std::string, long> devices;
};

// Another user's program chooses its own name: what is no printable ASCII becomes '?', so that
// the name cannot drive a terminal or break the line it is shown on.
std::string Printable(std::string name)
{
    for (char& c : name) {
        if (c < 0x20 || c > 0x7E)
            c = '?';
    }
    return name;
}

// The name the process goes by: the name the system keeps for it, unless that is only its
// program file's (cut short) and it was started under another name (exec -a), which then counts.
std::string ProgramName(long pid)
{
    const fs::path folder = fs::path("/proc") / std::to_string(pid);
    std::string name;
    std::getline(std::ifstream(folder / "comm"), name);
    std::string started;
    std::getline(std::ifstream(folder / "cmdline"), started, '\0');
    started = fs::path(started).filename().string();
    std::error_code unseen;  // another user's program file is not ours to see
    const std::string file = fs::read_symlink(folder / "exe", unseen).filename().string();
    const bool fileName = !file.empty() && file.rfind(name, 0) == 0;
    return Printable(!started.empty() && (started.rfind(name, 0) == 0 || fileName) ? started : name);
}

bool HeldBy(long pid, PortStatus& status)
{
    if (pid == 0)
        return false;
    status.state = PortState::kInUse;
    status.pid = pid;
    status.holder = ProgramName(pid);
    return true;
}

bool HolderAmong(const std::string& path, const std::map<std::string, long>& open, PortStatus& status)
{
    long pid = LockHolder(path);
    if (pid == 0) {
        std::error_code error;
        for (const std::string& spelling : {path, fs::canonical(path, error).string()}) {
            const auto found = open.find(spelling);
            if (found != open.end())
                pid = found->second;
        }
    }
    return HeldBy(pid, status);
}

// serial8250 is the legacy driver's name; kernels with the serial-base bus put every
// serial-core port under the driver "port" instead.
bool IsSerialCoreDriver(const std::string& driver) { return driver == "serial8250" || driver == "port"; }

// True when the system says that no UART is behind a serial-core port: such drivers register
// ports whether or not the hardware is there.
bool NoUart(const std::string& path)
{
    const fs::path sysEntry = kTtyClass / fs::path(path).filename();
    std::error_code error;
    const fs::path driver = fs::read_symlink(sysEntry / "device" / "driver", error);
    if (error || !IsSerialCoreDriver(driver.filename().string()))
        return false;
    // Non-blocking, so that a port waiting for carrier can't hang the scan.
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        serial_struct info {};
        const bool unknown = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
        ::close(fd);
        return unknown;
    }
    // An ordinary user may not open it (held or no permission); sysfs tells the same type.
    std::string type;
    std::getline(std::ifstream(sysEntry / "type"), type);
    return type == "0";
}

void SetGroup(const std::string& path, PortStatus& status)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return;
    const group* entry = ::getgrgid(info.st_gid);
    status.group = entry ? entry->gr_name : std::to_string(info.st_gid);
    status.groupMayOpen = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
}

PortStatus CheckOne(const std::string& path, OpenElsewhere& openElsewhere)
{
    PortStatus status;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        status.state = PortState::kGone;
        status.error = errno;
    } else if (!NotASerialPortReason(path).empty()) {
        status.state = PortState::kNotSerial;
    } else if (NoUart(path)) {
        status.state = PortState::kNoDevice;
    } else if (!HolderAmong(path, openElsewhere.Devices(), status) && !ProbeSerialPort(path, &status.error)) {
        status = ExplainOpenFailure(path, status.error);
    }
    return status;
}

}  // namespace

std::string NotASerialPortReason(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};  // nothing there: opening it fails by itself and says why
    if (!S_ISCHR(info.st_mode) || !InTtyClass(info.st_rdev))
        return "not a serial port";
    const unsigned major = ::major(info.st_rdev);
    const unsigned minor = ::minor(info.st_rdev);
    if (major == kTtyAuxMajor || (major == kVirtualConsoleMajor && minor < kVirtualConsoleMinors))
        return "a console, not a serial port";
    if (info.st_rdev == ControllingTerminal())
        return "this program's own terminal, not a serial port";
    return {};
}

bool FindHoldingProgram(const std::string& path, PortStatus& status)
{
    return HolderAmong(path, DevicesOpenElsewhere(), status);
}

bool FindLockingProgram(const std::string& path, PortStatus& status) { return HeldBy(LockHolder(path), status); }

PortStatus ExplainOpenFailure(const std::string& path, int error)
{
    PortStatus status;
    status.error = error;
    switch (error) {
    case EACCES:
    case EPERM:
        status.state = PortState::kNoPermission;
        SetGroup(path, status);
        break;
    case EBUSY:
        // Held exclusively by a program that this user may not see: busy all the same.
        if (!FindHoldingProgram(path, status))
            status.state = PortState::kInUse;
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        status.state = PortState::kGone;
        break;
    case ENOTTY:
        status.state = PortState::kNotSerial;
        break;
    default:
        status.state = NoUart(path) ? PortState::kNoDevice : PortState::kOpenError;
        break;
    }
    return status;
}

std::vector<PortStatus> CheckPortPaths(const std::vector<std::string>& paths)
{
    OpenElsewhere openElsewhere;
    std::vector<PortStatus> statuses;
    for (const std::string& path : paths)
        statuses.push_back(CheckOne(path, openElsewhere));
    return statuses;
}
