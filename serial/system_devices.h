// The devices that the system lists, as plain records: what the adapter diagnosis reads, filled by
// one collector per system and, in the tests, by hand in the shapes that each system gives.
#pragma once

#include <string>
#include <vector>

// One device of Windows' device tree, as SetupAPI and the registry describe it.
struct WindowsDevice {
    std::string instanceId;                // "USB\VID_1A86&PID_7523\5&2A1B3C4D&0&2"
    std::vector<std::string> hardwareIds;  // "USB\VID_1A86&PID_7523&REV_0254", then the shorter ones
    std::string description;               // the driver's or the setup's name: "USB Serial Port"
    std::string busDescription;            // the chip's own: "USB2.0-Serial"
    std::string manufacturer;
    std::string service;   // the driver's service: "usbser", "FTDIBUS"; empty without a driver
    std::string portName;  // Device Parameters\PortName: "COM3"; empty for a device that gives none
    bool present = true;   // false: a device that the system remembers, unplugged now
    unsigned problem = 0;  // the problem code that Device Manager shows; 0 when it works
};

// One USB device of Linux's sysfs, with the ttys that its interfaces give.
struct LinuxUsbDevice {
    std::string name;  // its sysfs name: "1-1.2"
    unsigned vid = 0, pid = 0;
    int revision = -1;  // the device's release (bcdDevice); -1 when not given
    std::string serial, product, manufacturer;
    bool cdcAcm = false;            // an interface of the USB modem class (CDC-ACM)
    std::vector<std::string> ttys;  // "ttyUSB0"; empty when no driver gave one
};

// Windows (system_devices_win32.cpp): every present device of every class, and the Ports-class
// devices that are not present (their numbers stay reserved). A device whose properties cannot be
// read is skipped, never waited on.
std::vector<WindowsDevice> ListWindowsDevices();
// Linux (system_devices_linux.cpp): the USB devices below sysRoot ("/sys" on a running system, a
// tree of its shape in the tests); one that cannot be read is skipped.
std::vector<LinuxUsbDevice> ListLinuxUsbDevices(const std::string& sysRoot);
