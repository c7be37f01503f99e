// Linux's USB devices from sysfs: each device's ids and names, and the ttys that the drivers of its
// interfaces gave.
#include "serial/system.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A small attribute file whole. Plain reads: a listing reads hundreds of them, and a stream costs
// several times more.
std::string ReadAttribute(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[1024];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string FirstLine(const fs::path& file)
{
    const std::string text = ReadAttribute(file);
    return text.substr(0, text.find('\n'));
}

// The value of "KEY=value" among a uevent's lines; "" when absent.
std::string UeventValue(const std::string& uevent, const std::string& key)
{
    const std::string line = "\n" + key + "=";
    const size_t at = ("\n" + uevent).find(line);
    if (at == std::string::npos)
        return {};
    const size_t start = at + line.size() - 1;
    return uevent.substr(start, uevent.find('\n', start) - start);
}

// "1a86/7523/254": the ids and the release, in hex without leading zeros.
bool ParseProduct(const std::string& product, LinuxUsbDevice& device)
{
    unsigned values[3];
    size_t start = 0;
    for (unsigned& value : values) {
        const size_t end = std::min(product.find('/', start), product.size());
        const std::string field = product.substr(start, end - start);
        if (field.empty() || field.size() > 4 || field.find_first_not_of("0123456789abcdef") != std::string::npos)
            return false;
        value = static_cast<unsigned>(std::stoul(field, nullptr, 16));
        start = end + 1;
    }
    device.vid = values[0];
    device.pid = values[1];
    device.revision = static_cast<int>(values[2]);
    return true;
}

// The ttys below one interface: "ttyUSB0/" of a USB-serial driver, "tty/ttyACM0" of the modem class's.
void AddInterfaceTtys(const fs::path& interface, LinuxUsbDevice& device)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(interface, error)) {
        const std::string name = entry.path().filename().string();
        if (name == "tty") {
            for (const auto& tty : fs::directory_iterator(entry.path(), error))
                device.ttys.push_back(tty.path().filename().string());
        } else if (name.rfind("tty", 0) == 0) {
            device.ttys.push_back(name);
        }
    }
}

// One device directory ("1-1.2") that may be a serial adapter: a known chip's ids, or of the
// communications class. False for any other device, an interface or one that cannot be read: the
// others cost one read, of the uevent that holds the ids and the class.
bool ReadDevice(const fs::path& dir, LinuxUsbDevice& device)
{
    device.name = dir.filename().string();
    if (device.name.find(':') != std::string::npos)
        return false;
    const std::string uevent = ReadAttribute(dir / "uevent");
    if (!ParseProduct(UeventValue(uevent, "PRODUCT"), device))
        return false;
    device.cdcAcm = UeventValue(uevent, "TYPE").rfind("2/", 0) == 0;
    if (ChipFamily(device.vid, device.pid).empty() && !device.cdcAcm)
        return false;
    device.serial = FirstLine(dir / "serial");
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        if (entry.path().filename().string().rfind(device.name + ":", 0) == 0)
            AddInterfaceTtys(entry.path(), device);
    }
    std::sort(device.ttys.begin(), device.ttys.end());
    // A chip's tty is named by the port list, which reads its product; only a chip without one is
    // named here, so that a listing reads each product once.
    if (device.ttys.empty())
        device.product = FirstLine(dir / "product");
    return true;
}

}  // namespace

std::vector<LinuxUsbDevice> ListLinuxUsbDevices(const std::string& sysRoot)
{
    std::vector<LinuxUsbDevice> devices;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(sysRoot) / "bus/usb/devices", error)) {
        LinuxUsbDevice device;
        if (ReadDevice(entry.path(), device))
            devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(),
              [](const LinuxUsbDevice& a, const LinuxUsbDevice& b) { return a.name < b.name; });
    return devices;
}

std::vector<AdapterReport> ListAdapters() { return DiagnoseLinuxUsbDevices(ListLinuxUsbDevices("/sys")); }
