// Linux checks made before a device is opened or offered as a serial port: that it is a serial
// terminal and not the user's own, and that no other program holds it.
#include "serial/port_list.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

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

bool LockedByLiveProcess(const std::string& path)
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
            if (fs::is_regular_file(file, error) && Alive(LockOwner(file)))
                return true;
        }
    }
    return false;
}

bool OpenedByAnotherProcess(const std::string& path)
{
    std::error_code error;
    const std::string canonical = fs::canonical(path, error).string();
    const std::string self = std::to_string(::getpid());
    for (const auto& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code denied;  // other users' descriptors are not ours to see
        for (const auto& fd : fs::directory_iterator(process.path() / "fd", denied)) {
            std::error_code gone;
            const std::string target = fs::read_symlink(fd.path(), gone).string();
            if (!gone && (target == path || target == canonical))
                return true;
        }
    }
    return false;
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

bool PortInUseElsewhere(const std::string& path)
{
    return LockedByLiveProcess(path) || OpenedByAnotherProcess(path);
}
