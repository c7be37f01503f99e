// The one platform interface of the serial driver: everything that differs between
// operating systems lives behind it, one implementation file per system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// An open, configured port. Destroying it closes the port.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Returns at once with what is queued, or waits at most 5 ms for a first byte.
    // Returns the count read; 0 on failure or when nothing came.
    virtual int Read(uint8_t* destination, int n) = 0;
    // Sends n bytes, allowing at most 5 ms per byte. True when the system accepted the write,
    // even if it was cut short by that limit.
    virtual bool Write(const uint8_t* source, int n) = 0;
};

struct PortOpenResult {
    std::unique_ptr<SerialPort> port;  // empty when the port did not open
    int error = 0;                     // the system's error code when it did not
};

// Opens a device path exclusively for reading and writing and configures it from the mode text:
// raw bytes, no flow control of any kind, DTR and RTS inactive, queues of queueSize bytes.
PortOpenResult OpenSerialPort(const std::string& path, const std::string& modeText, int queueSize);

// Lets tests and tools put another port behind a SerialDevice.
using SerialPortOpener =
    std::function<PortOpenResult(const std::string& path, const std::string& modeText, int queueSize)>;

// True when the path can be opened exclusively right now; the port is closed again at once.
// Otherwise error, when given, receives the system's code.
bool ProbeSerialPort(const std::string& path, int* error = nullptr);

// Takes the exclusive mark off every port this process has open, for an exit that cannot wait
// for the ports to close (a second Ctrl-C): otherwise a virtual port would stay refused to
// ordinary users. Safe from any thread.
void ReleaseAllPorts();
