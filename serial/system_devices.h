// The devices that the system lists, as the adapter diagnosis reads them: one collector per system.
#pragma once

#include "serial/usb_adapters.h"

#include <string>
#include <vector>

// Windows (system_devices_win32.cpp): the devices of every class that may be serial adapters (of
// the Ports class, a known chip's ids or the modem class's driver), present, or remembered while
// absent when they keep a COM number. A device whose properties cannot be read is skipped, never
// waited on.
std::vector<WindowsDevice> ListWindowsDevices();
// Linux (system_devices_linux.cpp): the USB devices below sysRoot ("/sys" on a running system, a
// tree of its shape in the tests) that may be serial adapters; one that cannot be read is skipped.
std::vector<LinuxUsbDevice> ListLinuxUsbDevices(const std::string& sysRoot);
// The system's adapters, diagnosed.
std::vector<AdapterReport> ListAdapters();
