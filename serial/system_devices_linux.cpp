// Linux's USB devices from sysfs: each device's ids and names, and the ttys that the drivers of its
// interfaces gave.
#include "serial/system_devices.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// An attribute's first line. Plain reads: a listing reads hundreds of them, and a stream costs
// several times more.
std::string FirstLine(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[256];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    const std::string text(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return text.substr(0, text.find('\n'));
}

// A hexadecimal attribute ("1a86"); false when it is missing or not a number.
bool ReadHex(const fs::path& file, unsigned& value)
{
    const std::string text = FirstLine(file);
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = static_cast<unsigned>(std::stoul(text, nullptr, 16));
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
// others cost two or three reads each.
bool ReadDevice(const fs::path& dir, LinuxUsbDevice& device)
{
    device.name = dir.filename().string();
    if (device.name.find(':') != std::string::npos || !ReadHex(dir / "idVendor", device.vid))
        return false;
    const bool chipVendor = IsSerialChipVendor(device.vid);
    if (chipVendor && !ReadHex(dir / "idProduct", device.pid))
        return false;
    if (!chipVendor || ChipFamily(device.vid, device.pid).empty()) {
        device.cdcAcm = FirstLine(dir / "bDeviceClass") == "02";
        if (!device.cdcAcm || !ReadHex(dir / "idProduct", device.pid))
            return false;
    }
    unsigned revision = 0;
    device.revision = ReadHex(dir / "bcdDevice", revision) ? static_cast<int>(revision) : -1;
    device.serial = FirstLine(dir / "serial");
    device.product = FirstLine(dir / "product");
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        if (entry.path().filename().string().rfind(device.name + ":", 0) == 0)
            AddInterfaceTtys(entry.path(), device);
    }
    std::sort(device.ttys.begin(), device.ttys.end());
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
