// The serial adapters that the system sees, and what is wrong with each: a pure reading of the
// device records of serial/system_devices.h, so that the same diagnosis runs on Linux in the
// tests with records written in Windows' shapes.
#pragma once

#include "serial/system_devices.h"

#include <string>
#include <vector>

// Who an adapter is: what support asks first.
struct UsbIdentity {
    bool known = false;  // the vendor and product ids were read
    unsigned vid = 0;
    unsigned pid = 0;
    int revision = -1;   // the device's release (bcdDevice), -1 when not given
    std::string serial;  // the serial number that the chip reports; empty when none
    std::string chip;    // the serial chip's family, "FTDI FT232R"; empty when not a known one
};

// One adapter, or the COM number that an absent one keeps. Texts in UTF-8, as the names that the
// system gives are kept.
struct AdapterReport {
    std::string port;  // the port it gives, "COM7" or "ttyUSB0"; empty when none
    UsbIdentity usb;
    std::string name;     // how the texts name it: its chip, else the system's description
    bool present = true;  // false: unplugged, keeping its number
    unsigned code = 0;    // Windows' problem code; 0 when none
    std::string problem;  // what is wrong and what to do; empty when it works
    std::string brief;    // the same in a few words, for a status line
};

// "1A86:7523".
std::string UsbIdText(const UsbIdentity& usb);
// The chip family of a USB serial adapter's ids, "" for any other device.
std::string ChipFamily(unsigned vid, unsigned pid);
// The identity in Windows' ids: "USB\VID_0403&PID_6001&REV_0600" and an instance id
// "USB\VID_0403&PID_6001\A50285BI" or "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000".
UsbIdentity WindowsIdentity(const WindowsDevice& device);

// One report per adapter (an FTDI's USB device and its port are one), and one per COM number kept by
// an absent adapter that no present one uses.
std::vector<AdapterReport> DiagnoseWindowsDevices(const std::vector<WindowsDevice>& devices);
// One report per tty of a known chip's adapter, and one for a known chip that gave no tty.
std::vector<AdapterReport> DiagnoseLinuxUsbDevices(const std::vector<LinuxUsbDevice>& devices);
// The port asked for is not there: where the absent adapter that keeps its number is now (the same
// serial number, else the same chip, on another port). "" when nothing is known.
std::string MovedPortHint(const std::vector<AdapterReport>& adapters, const std::string& port);

// The system's adapters, diagnosed (per system, in system_devices_*.cpp).
std::vector<AdapterReport> ListAdapters();
