// Linux list of candidate serial ports: real devices from /sys/class/tty plus the paths named
// by the user, in the order shown to the user; a port's name is its path below /dev.
#include "serial/port_list.h"
#include "serial/system.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <system_error>
#include <tuple>

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

// The product names read in one listing, by the USB device's directory: an adapter with several
// ttys (an FT4232 gives four) is read once. The adapters' diagnosis leaves these to the list.
using ProductsRead = std::map<fs::path, std::string>;

// The USB product name of the adapter behind a tty, or empty.
std::string ProductName(const fs::path& sysEntry, ProductsRead& read)
{
    std::error_code error;
    fs::path device = fs::canonical(sysEntry / "device", error);
    if (error)
        return {};
    for (; device.has_relative_path() && device != "/sys/devices"; device = device.parent_path()) {
        if (!fs::exists(device / "product", error))
            continue;
        auto known = read.find(device);
        if (known == read.end())
            known = read.emplace(device, FirstLine(device / "product")).first;
        return known->second;
    }
    return {};
}

// Ports with a device driver: virtual terminals and the like have none. A serial-core port
// without a UART is listed too, so that a check can say so.
bool IsSystemPort(const fs::path& sysEntry)
{
    std::error_code error;
    return fs::is_symlink(sysEntry / "device" / "driver", error);
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
    return path.rfind(kDevPrefix, 0) == 0 ? path.substr(kDevPrefix.size()) : path;
}

// Any absolute path: a link outside /dev to a port (a by-id name copied elsewhere, a pty's link) is
// tried too, or said why not.
bool IsDevicePathArgument(const std::string& argument) { return argument.rfind('/', 0) == 0; }

const PortSpelling& SystemPortSpelling() { return kPosixPortSpelling; }

std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths)
{
    std::vector<PortCandidate> ports;
    std::set<std::string> seen;
    ProductsRead products;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kTtyClass, error)) {
        const std::string path = DevicePathForPortName(entry.path().filename().string());
        if (IsSystemPort(entry.path()) && seen.insert(path).second)
            ports.push_back({path, PortNameForDevicePath(path), ProductName(entry.path(), products)});
    }
    for (const auto& path : extraPaths) {
        if (!seen.insert(path).second)
            continue;
        const std::string name = PortNameForDevicePath(path);
        // A path the system also lists under another spelling still gets its adapter's name.
        const bool plainName = name.find('/') == std::string::npos && !name.empty();
        ports.push_back({path, name, plainName ? ProductName(kTtyClass / name, products) : std::string(),
                         ReadPortName(path).kind});
    }
    std::stable_sort(ports.begin(), ports.end(),
                     [](const PortCandidate& a, const PortCandidate& b) { return KeyOf(a.name) < KeyOf(b.name); });
    return ports;
}
