// The adapter diagnosis: the chip families, the identities in Windows' ids, each problem named by
// its kind, and the adapter that a kept number's owner may be now.
#include "serial/usb_adapters.h"

#include "vocab/adapter_words.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace {

struct ChipRow {
    unsigned vid;
    unsigned pid;
    const char* family;
    const char* module;  // Linux's driver module
};

constexpr char kCdcAcm[] = "USB CDC-ACM";

const ChipRow kChips[] = {
    {0x067B, 0x2303, "Prolific PL2303", "pl2303"},
    {0x067B, 0x23A3, "Prolific PL2303G", "pl2303"},
    {0x067B, 0x23B3, "Prolific PL2303G", "pl2303"},
    {0x067B, 0x23C3, "Prolific PL2303G", "pl2303"},
    {0x067B, 0x23D3, "Prolific PL2303G", "pl2303"},
    {0x067B, 0x23E3, "Prolific PL2303G", "pl2303"},
    {0x067B, 0x23F3, "Prolific PL2303G", "pl2303"},
    {0x0403, 0x6001, "FTDI FT232R", "ftdi_sio"},
    {0x0403, 0x6015, "FTDI FT-X", "ftdi_sio"},
    {0x0403, 0x6010, "FTDI FT2232", "ftdi_sio"},
    {0x0403, 0x6011, "FTDI FT4232", "ftdi_sio"},
    {0x0403, 0x6014, "FTDI FT232H", "ftdi_sio"},
    {0x0403, 0x0000, "FTDI", "ftdi_sio"},
    {0x1A86, 0x7523, "WCH CH340", "ch341"},
    {0x1A86, 0x5523, "WCH CH341", "ch341"},
    {0x10C4, 0xEA60, "Silicon Labs CP210x", "cp210x"},
    {0x10C4, 0xEA70, "Silicon Labs CP210x", "cp210x"},
    {0x10C4, 0xEA71, "Silicon Labs CP210x", "cp210x"},
};

const ChipRow* ChipOf(unsigned vid, unsigned pid)
{
    for (const ChipRow& row : kChips) {
        if (row.vid == vid && row.pid == pid)
            return &row;
    }
    return nullptr;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// The four hex digits after "TAG_" in an upper-case id; -1 when absent.
long HexField(const std::string& id, const std::string& tag)
{
    const size_t at = id.find(tag + "_");
    if (at == std::string::npos || at + tag.size() + 5 > id.size())
        return -1;
    const std::string digits = id.substr(at + tag.size() + 1, 4);
    if (digits.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return -1;
    return std::stol(digits, nullptr, 16);
}

// The instance id's parts between backslashes.
std::vector<std::string> Parts(const std::string& id, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : id) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The serial number in an instance id: the USB device's last part, unless Windows made that one up
// (it then holds '&'); the FTDI bus's middle part ends in the channel's letter after it.
std::string SerialInInstanceId(const std::string& instanceId)
{
    const std::vector<std::string> parts = Parts(instanceId, '\\');
    if (parts.size() != 3)
        return {};
    const std::string bus = Upper(parts[0]);
    if (bus == "USB")
        return parts[2].find('&') == std::string::npos && !parts[2].empty() ? parts[2] : std::string();
    if (bus == "FTDIBUS") {
        const std::vector<std::string> fields = Parts(parts[1], '+');
        if (fields.size() == 3 && fields[2].size() > 1)
            return fields[2].substr(0, fields[2].size() - 1);
    }
    return {};
}

// What is wrong with a present adapter, as Device Manager's code and the chip's ids tell it.
AdapterProblem WindowsProblem(const AdapterReport& adapter)
{
    if (adapter.usb.known && adapter.usb.vid == 0x0403 && adapter.usb.pid == 0x0000)
        return AdapterProblem::kErasedProductId;
    if (adapter.code == 0)
        return AdapterProblem::kNone;
    if (adapter.code == kRefusedChipWords.code && adapter.usb.chip == "Prolific PL2303")
        return kRefusedChipWords.kind;
    for (const AdapterProblemWords& row : kAdapterProblemWords) {
        if (row.code == adapter.code)
            return row.kind;
    }
    return AdapterProblem::kOtherCode;
}

// The devices of one adapter, joined: the first one's place in the list, the port of the one that
// gives it, the problem of any.
void Join(AdapterReport& adapter, const WindowsDevice& device, const UsbIdentity& usb)
{
    if (adapter.port.empty())
        adapter.port = device.portName;
    if (!device.portName.empty() || adapter.description.empty())
        adapter.description = device.description;
    if (adapter.code == 0)
        adapter.code = device.problem;
    if (adapter.usb.revision < 0)
        adapter.usb.revision = usb.revision;
}

// The adapter's name: its chip, else the chip's own description, else the driver's.
std::string WindowsName(const WindowsDevice& device, const UsbIdentity& usb)
{
    if (!usb.chip.empty())
        return usb.chip;
    return device.busDescription.empty() ? device.description : device.busDescription;
}

}  // namespace

std::string UsbIdText(const UsbIdentity& usb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", usb.vid & 0xFFFF, usb.pid & 0xFFFF);
    return text;
}

std::string ChipFamily(unsigned vid, unsigned pid)
{
    const ChipRow* row = ChipOf(vid, pid);
    return row != nullptr ? row->family : "";
}

UsbIdentity WindowsIdentity(const WindowsDevice& device)
{
    UsbIdentity usb;
    std::vector<std::string> ids = device.hardwareIds;
    ids.push_back(device.instanceId);
    for (const std::string& id : ids) {
        const std::string upper = Upper(id);
        const long vid = HexField(upper, "VID");
        const long pid = HexField(upper, "PID");
        if (vid < 0 || pid < 0)
            continue;
        if (!usb.known) {
            usb.known = true;
            usb.vid = static_cast<unsigned>(vid);
            usb.pid = static_cast<unsigned>(pid);
        }
        if (usb.revision < 0)
            usb.revision = static_cast<int>(HexField(upper, "REV"));
    }
    usb.serial = SerialInInstanceId(device.instanceId);
    if (usb.known)
        usb.chip = ChipFamily(usb.vid, usb.pid);
    if (usb.chip.empty() && Upper(device.service) == "USBSER")
        usb.chip = kCdcAcm;
    return usb;
}

std::vector<AdapterReport> DiagnoseWindowsDevices(const std::vector<WindowsDevice>& devices)
{
    std::vector<AdapterReport> adapters;
    std::map<std::string, size_t> byKey;
    for (const WindowsDevice& device : devices) {
        const UsbIdentity usb = WindowsIdentity(device);
        if (usb.chip.empty() && device.portName.empty())
            continue;
        // An adapter's devices share its serial number; one without a serial is a device alone.
        const std::string key =
            std::string(device.present ? "present " : "absent ") +
            (usb.serial.empty() ? Upper(device.instanceId) : UsbIdText(usb) + " " + usb.serial);
        const auto [at, added] = byKey.emplace(key, adapters.size());
        if (added)
            adapters.push_back({"", usb, WindowsName(device, usb), device.present});
        Join(adapters[at->second], device, usb);
    }
    std::vector<AdapterReport> reports;
    for (AdapterReport& adapter : adapters) {
        if (adapter.present) {
            adapter.kind = WindowsProblem(adapter);
            reports.push_back(adapter);
            continue;
        }
        // A number that a present adapter gives is no longer kept by the absent one.
        const bool taken = std::any_of(adapters.begin(), adapters.end(), [&](const AdapterReport& other) {
            return other.present && other.port == adapter.port;
        });
        if (!adapter.port.empty() && !taken) {
            adapter.kind = AdapterProblem::kReserved;
            reports.push_back(adapter);
        }
    }
    return reports;
}

std::vector<AdapterReport> DiagnoseLinuxUsbDevices(const std::vector<LinuxUsbDevice>& devices)
{
    std::vector<AdapterReport> reports;
    for (const LinuxUsbDevice& device : devices) {
        const ChipRow* row = ChipOf(device.vid, device.pid);
        UsbIdentity usb {true, device.vid, device.pid, device.revision, device.serial, row ? row->family : ""};
        if (usb.chip.empty() && device.cdcAcm)
            usb.chip = kCdcAcm;
        if (usb.chip.empty() && device.ttys.empty())
            continue;
        const std::string name = usb.chip.empty() ? device.product : usb.chip;
        for (const std::string& tty : device.ttys)
            reports.push_back({tty, usb, name, true, 0, device.product});
        if (device.ttys.empty())
            reports.push_back({"", usb, name, true, 0, device.product, AdapterProblem::kNoModule,
                               row ? row->module : "cdc_acm"});
    }
    return reports;
}

const AdapterReport* AdapterGiving(const std::vector<AdapterReport>& adapters, const std::string& port)
{
    const auto giving = std::find_if(adapters.begin(), adapters.end(), [&](const AdapterReport& adapter) {
        return adapter.present && !adapter.port.empty() && Upper(adapter.port) == Upper(port);
    });
    return giving == adapters.end() ? nullptr : &*giving;
}

MovedAdapter FindMovedAdapter(const std::vector<AdapterReport>& adapters, const std::string& port)
{
    const auto kept = std::find_if(adapters.begin(), adapters.end(), [&](const AdapterReport& adapter) {
        return !adapter.present && Upper(adapter.port) == Upper(port);
    });
    if (kept == adapters.end() || !kept->usb.known)
        return {};
    const auto elsewhere = [&](bool sameSerial) {
        return std::find_if(adapters.begin(), adapters.end(), [&](const AdapterReport& adapter) {
            return adapter.present && adapter.kind == AdapterProblem::kNone && !adapter.port.empty() &&
                   Upper(adapter.port) != Upper(port) && adapter.usb.known && adapter.usb.vid == kept->usb.vid &&
                   adapter.usb.pid == kept->usb.pid &&
                   (!sameSerial || (!kept->usb.serial.empty() && adapter.usb.serial == kept->usb.serial));
        });
    };
    for (const bool same : {true, false}) {
        const auto now = elsewhere(same);
        if (now != adapters.end())
            return {&*now, same};
    }
    return {};
}
