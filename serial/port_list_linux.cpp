// Linux list of candidate serial ports: real devices from /sys/class/tty plus the paths named
// by the user, in the order shown to the user; a port's name is its path below /dev.
#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <set>
#include <sys/ioctl.h>
#include <system_error>
#include <tuple>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path kTtyClass = "/sys/class/tty";
const std::string kDevPrefix = "/dev/";

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// serial8250 is the legacy driver's name; kernels with the serial-base bus put every
// serial-core port under the driver "port" instead.
bool IsSerialCoreDriver(const std::string& driver) { return driver == "serial8250" || driver == "port"; }

// Serial-core drivers register ports that may have no UART behind them: only those whose
// type the kernel found are real.
bool UartPresent(const std::string& device, const fs::path& sysEntry)
{
    // Non-blocking, so that a port waiting for carrier can't hang the scan.
    const int fd = ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        serial_struct info {};
        const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
        ::close(fd);
        return known;
    }
    // An ordinary user may not open it (held or no permission); sysfs tells the same type.
    const std::string type = FirstLine(sysEntry / "type");
    return !type.empty() && type != "0";
}

// The USB product name of the adapter behind a tty, or empty.
std::string ProductName(const fs::path& sysEntry)
{
    std::error_code error;
    fs::path device = fs::canonical(sysEntry / "device", error);
    if (error)
        return {};
    for (; device.has_relative_path() && device != "/sys/devices"; device = device.parent_path()) {
        if (fs::exists(device / "product", error))
            return FirstLine(device / "product");
    }
    return {};
}

bool IsSystemPort(const fs::path& sysEntry)
{
    std::error_code error;
    const fs::path driver = fs::read_symlink(sysEntry / "device" / "driver", error);
    if (error)
        return false;  // virtual terminals and the like have no device driver
    if (!IsSerialCoreDriver(driver.filename().string()))
        return true;
    return UartPresent(DevicePathForPortName(sysEntry.filename().string()), sysEntry);
}

struct SortKey {
    std::string family;
    long number;  // -1 when the name ends in no digit
    std::string name;
    bool operator<(const SortKey& other) const
    {
        return std::tie(family, number, name) < std::tie(other.family, other.number, other.name);
    }
};

SortKey KeyOf(const std::string& name)
{
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    const std::string tail = name.substr(digits);
    // Nine digits at most so that the number fits; longer tails sort by their text.
    const long number = tail.empty() || tail.size() > 9 ? -1 : std::stol(tail);
    return {name.substr(0, digits), number, name};
}

}  // namespace

std::string DevicePathForPortName(const std::string& name)
{
    return name.rfind('/', 0) == 0 ? name : kDevPrefix + name;
}

std::string PortNameForDevicePath(const std::string& path)
{
    return IsDevicePathArgument(path) ? path.substr(kDevPrefix.size()) : path;
}

bool IsDevicePathArgument(const std::string& argument) { return argument.rfind(kDevPrefix, 0) == 0; }

std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths)
{
    std::vector<PortCandidate> ports;
    std::set<std::string> seen;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kTtyClass, error)) {
        const std::string path = DevicePathForPortName(entry.path().filename().string());
        if (IsSystemPort(entry.path()) && seen.insert(path).second)
            ports.push_back({path, PortNameForDevicePath(path), ProductName(entry.path())});
    }
    for (const auto& path : extraPaths) {
        if (!seen.insert(path).second)
            continue;
        const std::string name = PortNameForDevicePath(path);
        // A path the system also lists under another spelling still gets its adapter's name.
        const bool plainName = name.find('/') == std::string::npos && !name.empty();
        ports.push_back({path, name, plainName ? ProductName(kTtyClass / name) : std::string()});
    }
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortCandidate& a, const PortCandidate& b) { return KeyOf(a.name) < KeyOf(b.name); });
    return ports;
}
