// Windows' device tree through SetupAPI: the present devices, for the adapters that give no COM
// port (no driver, or one that refuses them) and the names of those that do, and the remembered
// ones, for the numbers that absent adapters keep. Only calls that Windows 7 SP1 has.
#include "serial/system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, and before the GUIDs and keys so that they are defined here:
#include <initguid.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <devpkey.h>
#include <setupapi.h>

namespace {

// A UTF-16 text from the system in UTF-8, as the programs keep the names that the system gives.
std::string Narrow(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

// A registry property's raw bytes, at most a small bound: a device's texts are short.
std::vector<wchar_t> RegistryProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    std::vector<wchar_t> buffer(1024, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(buffer.data()),
                                           static_cast<DWORD>((buffer.size() - 2) * sizeof(wchar_t)), nullptr))
        return {};
    return buffer;
}

std::string TextProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    const std::vector<wchar_t> value = RegistryProperty(devices, device, property);
    return value.empty() ? std::string() : Narrow(value.data());
}

// A REG_MULTI_SZ property, one text per string.
std::vector<std::string> ListProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    const std::vector<wchar_t> value = RegistryProperty(devices, device, property);
    std::vector<std::string> list;
    for (const wchar_t* item = value.data(); !value.empty() && *item != L'\0'; item += wcslen(item) + 1)
        list.push_back(Narrow(item));
    return list;
}

// A device property of the unified model (Windows Vista on), when it has the type asked for.
bool DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, const DEVPROPKEY& key, DEVPROPTYPE wanted,
                    BYTE* buffer, DWORD size)
{
    DEVPROPTYPE type = DEVPROP_TYPE_EMPTY;
    return SetupDiGetDevicePropertyW(devices, &device, &key, &type, buffer, size, nullptr, 0) && type == wanted;
}

std::string BusReportedDescription(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    wchar_t text[256] = {};
    if (!DeviceProperty(devices, device, DEVPKEY_Device_BusReportedDeviceDesc, DEVPROP_TYPE_STRING,
                        reinterpret_cast<BYTE*>(text), sizeof text - sizeof(wchar_t)))
        return {};
    return Narrow(text);
}

// The problem code from the device property, else from the device node's status. Wine answers the
// property from the registry but leaves the status' outputs as they were, hence their start values.
unsigned ProblemCode(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    ULONG code = 0;
    if (DeviceProperty(devices, device, DEVPKEY_Device_ProblemCode, DEVPROP_TYPE_UINT32,
                       reinterpret_cast<BYTE*>(&code), sizeof code))
        return code;
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS &&
        (status & DN_HAS_PROBLEM) != 0)
        return problem;
    return 0;
}

// Whether the device is plugged in: Windows says no device node is there for one that it only
// remembers (CR_NO_SUCH_DEVINST), Windows 8 and later say it in a property too. Wine answers the
// property from the registry and leaves the status call's outputs as they were.
bool Present(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_NO_SUCH_DEVINST)
        return false;
    DEVPROP_BOOLEAN present = DEVPROP_TRUE;
    return !DeviceProperty(devices, device, DEVPKEY_Device_IsPresent, DEVPROP_TYPE_BOOLEAN,
                           reinterpret_cast<BYTE*>(&present), sizeof present) ||
           present != DEVPROP_FALSE;
}

std::string InstanceId(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (!SetupDiGetDeviceInstanceIdW(devices, &device, id, MAX_DEVICE_ID_LEN, nullptr))
        return {};
    return Narrow(id);
}

// Device Parameters\PortName: the COM port that the device gives.
std::string PortName(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD type = 0;
    DWORD size = sizeof name - sizeof(wchar_t);
    const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    return read ? Narrow(name) : std::string();
}

// No class at all, and the Other devices class: a device that no driver took.
const GUID kNoClass = {};
const GUID kOtherDevicesClass = {0x4d36e97e, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// Whether a device on an adapter bus may be a serial adapter, by what costs least to read first: its
// class, given with the listing (ports, USB devices, those without a driver or a class), then its
// hardware ids and its driver. Under Wine each read is a trip to its server.
bool MayBeAdapter(HDEVINFO devices, SP_DEVINFO_DATA& device, WindowsDevice& record)
{
    const GUID& deviceClass = device.ClassGuid;
    if (IsEqualGUID(deviceClass, GUID_DEVCLASS_PORTS))
        return true;
    if (!IsEqualGUID(deviceClass, GUID_DEVCLASS_USB) && !IsEqualGUID(deviceClass, kOtherDevicesClass) &&
        !IsEqualGUID(deviceClass, kNoClass))
        return false;
    record.hardwareIds = ListProperty(devices, device, SPDRP_HARDWAREID);
    record.service = TextProperty(devices, device, SPDRP_SERVICE);
    return !WindowsIdentity(record).chip.empty();
}

// "USB Serial Port (COM3)": the port's own name is said apart.
std::string WithoutPortName(const std::string& text, const std::string& port)
{
    const std::string suffix = " (" + port + ")";
    const bool ends = !port.empty() && text.size() > suffix.size() &&
                      text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
    return ends ? text.substr(0, text.size() - suffix.size()) : text;
}

// The rest of a possible adapter's record.
void ReadDevice(HDEVINFO devices, SP_DEVINFO_DATA& device, WindowsDevice& record)
{
    if (record.hardwareIds.empty())
        record.hardwareIds = ListProperty(devices, device, SPDRP_HARDWAREID);
    record.portName = PortName(devices, device);
    record.description = TextProperty(devices, device, SPDRP_FRIENDLYNAME);
    if (record.description.empty())
        record.description = TextProperty(devices, device, SPDRP_DEVICEDESC);
    record.description = WithoutPortName(record.description, record.portName);
    record.busDescription = BusReportedDescription(devices, device);
    record.manufacturer = TextProperty(devices, device, SPDRP_MFG);
    if (record.service.empty())
        record.service = TextProperty(devices, device, SPDRP_SERVICE);
    record.present = Present(devices, device);
    record.problem = record.present ? ProblemCode(devices, device) : 0;
}

// The buses whose devices may be adapters of any class (driverless ones are of the Other devices
// class or none); any other bus gives only its ports (built-in, Bluetooth, PCI cards).
const wchar_t* const kAdapterBuses[] = {L"FTDIBUS", L"USB"};

bool OnAdapterBus(const std::string& instanceId)
{
    for (const wchar_t* bus : kAdapterBuses) {
        const std::string prefix = Narrow(bus) + "\\";
        if (instanceId.size() > prefix.size() && _strnicmp(instanceId.c_str(), prefix.c_str(), prefix.size()) == 0)
            return true;
    }
    return false;
}

// The COM port interface, which every port's driver registers (built-in, card, Bluetooth, USB).
const GUID kComPortInterface = {0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};

// One listing, present and remembered devices alike: the devices of a bus, or without one, those that give a
// COM port. Asked by the port interface rather than by the ports class: Wine answers a class by walking every
// device of the machine, and an interface or a bus by walking only the keys it covers.
void ListDevices(const wchar_t* bus, std::vector<WindowsDevice>& records)
{
    const HDEVINFO devices = bus != nullptr ? SetupDiGetClassDevsW(nullptr, bus, nullptr, DIGCF_ALLCLASSES)
                                            : SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr,
                                                                   DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        WindowsDevice record;
        record.instanceId = InstanceId(devices, device);
        // The adapter buses' ports come with their bus, beside the device that holds them.
        if (record.instanceId.empty() || (bus == nullptr && OnAdapterBus(record.instanceId)) ||
            (bus != nullptr && !MayBeAdapter(devices, device, record)))
            continue;
        ReadDevice(devices, device, record);
        // A remembered device matters only for the number that it keeps.
        if (record.present || !record.portName.empty())
            records.push_back(std::move(record));
    }
    SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

std::vector<WindowsDevice> ListWindowsDevices()
{
    std::vector<WindowsDevice> records;
    ListDevices(nullptr, records);
    for (const wchar_t* bus : kAdapterBuses)
        ListDevices(bus, records);
    return records;
}

std::vector<AdapterReport> ListAdapters() { return DiagnoseWindowsDevices(ListWindowsDevices()); }
