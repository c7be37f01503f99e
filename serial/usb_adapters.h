// The serial adapters that the system sees, and what is wrong with each, as facts: a pure reading of plain
// device records, as each system's collector (serial/system.h) fills them and as the tests
// write them in Windows' shapes, so that the same diagnosis runs on Linux.
#pragma once

#include "vocab/adapter_words.h"  // AdapterProblem, named beside its words

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

// One USB device of Linux's sysfs that may be a serial adapter, with the ttys that its interfaces give.
struct LinuxUsbDevice {
    std::string name;  // its sysfs name: "1-1.2"
    unsigned vid = 0, pid = 0;
    int revision = -1;  // the device's release (bcdDevice); -1 when not given
    std::string serial;
    std::string product;            // read only when no tty was given: the port list names a tty's
    bool cdcAcm = false;            // of the communications device class (CDC-ACM)
    std::vector<std::string> ttys;  // "ttyUSB0"; empty when no driver gave one
};

// Who an adapter is: what support asks first.
struct UsbIdentity {
    bool known = false;  // the vendor and product ids were read
    unsigned vid = 0;
    unsigned pid = 0;
    int revision = -1;   // the device's release (bcdDevice), -1 when not given
    std::string serial;  // the serial number that the chip reports; empty when none
    std::string chip;    // the serial chip's family, "FTDI FT232R"; empty when not a known one
};

// One adapter, or the COM number that an absent one keeps: the facts, which session/adapter_texts.h
// puts into words. Names in UTF-8, as the system gives them.
struct AdapterReport {
    std::string port;  // the port it gives, "COM7" or "ttyUSB0"; empty when none
    UsbIdentity usb;
    std::string name;            // how the texts name it: its chip, else the system's description
    bool present = true;         // false: unplugged, keeping its number
    unsigned code = 0;           // Windows' problem code; 0 when none
    std::string description {};  // the system's own name: the driver's ("USB Serial Port"), the product's
    AdapterProblem kind = AdapterProblem::kNone;  // what is wrong; kNone when it works
    std::string module {};                        // kNoModule: Linux's driver module for its chip
};

// An absent adapter's kept number asked for, and a working adapter on another port that may be it.
struct MovedAdapter {
    const AdapterReport* now = nullptr;  // nullptr when none is seen
    bool same = false;                   // the same adapter, by its serial number; else only its chip's ids match
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
// The present adapter that gives the port, nullptr when none does. Port names are compared as
// Windows compares them, in any case.
const AdapterReport* AdapterGiving(const std::vector<AdapterReport>& adapters, const std::string& port);
// The port asked for is not there: where the absent adapter that keeps its number is now, the same
// serial number on another port, else the same vendor and product ids.
MovedAdapter FindMovedAdapter(const std::vector<AdapterReport>& adapters, const std::string& port);
