// Windows list of candidate serial ports: the COM ports that the system knows (its DOS device
// names and the SERIALCOMM map) and any other of COM1 to COM255 that opens, in number order, then
// the paths named by the user; a port's name is its path below the device namespace \\.\.
#include "serial/port_list.h"
#include "serial/system.h"

#include "serial/serial_port.h"

#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

constexpr int kHighestPortNumber = 255;
const std::string kDevicePrefix = "\\\\.\\";

// The name of a port number: "COM3".
std::string PortName(int number) { return "COM" + std::to_string(number); }

// The inverse: the number of a name "COM1" to "COM255"; 0 for any other name.
int PortNumber(const std::string& name)
{
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 ||
        name.find_first_not_of("0123456789", 3) != std::string::npos || name[3] == '0')
        return 0;
    const int number = std::atoi(name.c_str() + 3);
    return number <= kHighestPortNumber ? number : 0;
}

// The COM ports among the system's DOS device names.
void AddDosDevicePorts(std::set<int>& known)
{
    std::vector<char> names(1 << 16);
    DWORD length = 0;
    while ((length = QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size()))) == 0 &&
           GetLastError() == ERROR_INSUFFICIENT_BUFFER && names.size() < (1u << 24))
        names.resize(names.size() * 2);
    for (const char* name = names.data(); name < names.data() + length && *name != '\0';
         name += strlen(name) + 1) {
        if (const int number = PortNumber(name))
            known.insert(number);
    }
}

// The ports that the serial drivers registered in the SERIALCOMM map.
void AddSerialCommPorts(std::set<int>& known)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD nameLength = sizeof valueName;
        BYTE data[64] = {};
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        if (RegEnumValueA(key, index, valueName, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        if (type == REG_SZ)
            if (const int number = PortNumber(reinterpret_cast<const char*>(data)))
                known.insert(number);
    }
    RegCloseKey(key);
}

}  // namespace

std::string DevicePathForPortName(const std::string& name) { return kDevicePrefix + name; }

std::string PortNameForDevicePath(const std::string& path)
{
    if (IsDevicePathArgument(path))
        return path.substr(kDevicePrefix.size());
    // "COM41:", as DOS wrote its devices and some users still do, is COM41.
    const std::string withoutColon = path.empty() || path.back() != ':' ? "" : path.substr(0, path.size() - 1);
    return PortNumber(withoutColon) != 0 ? withoutColon : path;
}

bool IsDevicePathArgument(const std::string& argument) { return argument.rfind(kDevicePrefix, 0) == 0; }

const PortSpelling& SystemPortSpelling() { return kWindowsPortSpelling; }

std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths)
{
    std::set<int> numbers;
    AddDosDevicePorts(numbers);
    AddSerialCommPorts(numbers);
    // A port that opens is a port, whether or not the system lists it.
    for (int number = 1; number <= kHighestPortNumber; ++number) {
        if (numbers.count(number) == 0 && ProbeSerialPort(DevicePathForPortName(PortName(number))))
            numbers.insert(number);
    }
    // The adapters' names come with the adapters (ListAdapters), read beside the checks.
    std::vector<PortCandidate> candidates;
    for (const int number : numbers)
        candidates.push_back({DevicePathForPortName(PortName(number)), PortName(number), ""});
    // Paths named on the command line follow the numbered ports, each once.
    for (const std::string& path : extraPaths) {
        bool listed = false;
        for (const PortCandidate& candidate : candidates)
            listed = listed || candidate.path == path;
        if (listed || path.empty())
            continue;
        candidates.push_back({path, PortNameForDevicePath(path), "", ReadPortName(path).kind});
    }
    return candidates;
}
