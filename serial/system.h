// Everything in serial/ that each system does its own way, declared together: each group below has
// one implementation file per system (*_posix.cpp or *_linux.cpp, and *_win32.cpp), which CMake
// picks; the rest of serial/ is the same on every system and builds on these.
#pragma once

#include "serial/port_list.h"
#include "serial/port_status.h"
#include "serial/serial_port.h"
#include "serial/tcp_socket.h"
#include "serial/usb_adapters.h"
#include "vocab/port_words.h"

#include <chrono>
#include <string>
#include <vector>

// ---- The device port: its open, a quick look, the line's loss, the exit's release
// (serial_port_posix.cpp, serial_port_win32.cpp)

// Opens a device path exclusively for reading and writing and configures it from the mode text:
// raw bytes, no flow control of any kind, DTR and RTS inactive, queues of queueSize bytes.
PortOpenResult OpenDevicePort(const std::string& path, const std::string& modeText, int queueSize,
                              HolderCheck check);
// True when the path can be opened exclusively right now; the port is closed again at once.
// Otherwise error, when given, receives the system's code.
bool ProbeSerialPort(const std::string& path, int* error = nullptr);
// True when the system's error code of a failed read or write says that the line is gone for
// good, not that nothing came yet.
bool IsLineLostError(int error);
// Takes the exclusive mark off every port this process has open, for an exit that cannot wait
// for the ports to close (a second Ctrl-C): otherwise a virtual port would stay refused to
// ordinary users. Safe from any thread.
void ReleaseAllPorts();

// ---- The port list and the ports' names (port_list_linux.cpp, port_list_win32.cpp)

// The system's device path for a port name: "\\.\COM3" on Windows, "/dev/ttyUSB0" elsewhere,
// where an absolute path is taken as it stands.
std::string DevicePathForPortName(const std::string& name);
// The inverse: the port name of a device path; a path outside the device folder stays whole.
std::string PortNameForDevicePath(const std::string& path);
// A command-line argument naming a device to add to the port list: a device path ("\\.\COM10" on
// Windows, any absolute path elsewhere).
bool IsDevicePathArgument(const std::string& argument);
// How the help texts write this system's ports and device paths.
const PortSpelling& SystemPortSpelling();
// The ports to try, in the order to show them; extraPaths are the ports that the user named on
// the command line (IsPortWord).
std::vector<PortCandidate> ListCandidatePorts(const std::vector<std::string>& extraPaths);

// ---- A port's status (port_status_linux.cpp, port_status_win32.cpp)

// Why the device path is no serial port to open ("" when it is one): not a terminal device of
// the system's serial kind, or the user's own terminal, the console or a virtual console. It is
// checked before anything opens the path, so that no other device is touched by a scan.
std::string NotASerialPortReason(const std::string& path);
// The same checks for device paths, one status each.
std::vector<PortStatus> CheckPortPaths(const std::vector<std::string>& paths);
// Why opening the device path failed with the system's error code.
PortStatus ExplainOpenFailure(const std::string& path, int error);
// Another program that has the port open, as far as this user can see, or that a live lock file
// names: kInUse with its name and process id. False when none is seen (always on Windows, which
// refuses a second open by itself).
bool FindHoldingProgram(const std::string& path, PortStatus& status);
// The same from a live lock file alone, which costs no walk of the processes (none on Windows).
bool FindLockingProgram(const std::string& path, PortStatus& status);

// ---- Opens of a device port by anyone, counted between two of ours (open_watch_linux.cpp,
// open_watch_win32.cpp)

// Counts the opens of a device path less their closes, from its making on, at no cost until
// asked: the system queues an event at each. So a program that opens the port without a lock
// while this one has it closed between two commands is seen without a walk of the processes.
// On Windows every open is exclusive, so that the next command's open fails on such a program
// by itself: there the watch sees nothing.
class DeviceOpenWatch {
public:
    explicit DeviceOpenWatch(const std::string& path);
    ~DeviceOpenWatch();
    DeviceOpenWatch(const DeviceOpenWatch&) = delete;
    DeviceOpenWatch& operator=(const DeviceOpenWatch&) = delete;

    // True when an open seen is not closed yet, or when the count was lost (the system's queue
    // ran over, or the device node was made anew); never waits. Asked while this process has the
    // port closed, so that every open left is another program's.
    bool OpenElsewhere();
    // Takes the events queued now. Called after each open and close of this process's own: the
    // system merges an event into an identical one still queued, so another program's open
    // queued right behind one of ours would be counted once for both.
    void TakeEvents();
    // After an open of ours whose look found nobody else: that open is the one counted from now.
    void OursAlone();

private:
    const std::string path;
    int handle = -1;  // the system's; -1 where nothing is watched
    int open = 0;     // opens seen and not closed yet
    bool lost = false;
};

// ---- The sockets of ports on serial servers (tcp_socket_posix.cpp, tcp_socket_win32.cpp)

// The system's resolver, as long as it takes.
HostLookup LookUpHostNow(const std::string& host);
// Connects to a numeric address by the deadline, with TCP_NODELAY and keepalive, waiting in
// steps with the open's poll between them (WaitInSteps).
TcpConnectResult ConnectTcp(const std::string& address, const std::string& port,
                            std::chrono::steady_clock::time_point deadline, const OpenPoll& poll);
// What a failed connect's code says: kRefused, kUnreachable, or kOpenError for the rest.
PortState ConnectFailureState(int error);
// The code of a connection that the server closed in order; after a line of text of its own, it
// is how a server turns away a second client.
int ClosedByServerError();
// The code of a wait that ran out: a connect or a name lookup.
int TimedOutError();
// The code of an open that its poll abandoned.
int CancelledError();

// ---- The devices that the system lists, for the adapters' diagnosis (system_devices_linux.cpp,
// system_devices_win32.cpp)

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
