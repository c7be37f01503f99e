// Win32 serial port: a communications device opened exclusively for synchronous transfer,
// configured from the mode text with every kind of handshake off.
#include "serial/serial_port.h"
#include "serial/system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

void Configure(HANDLE port, const std::string& modeText, int queueSize)
{
    // As in the field, a port that opened is usable even if a setting was refused: the results
    // of these calls are not examined.
    DCB dcb {};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    BuildCommDCBA(modeText.c_str(), &dcb);
    dcb.fBinary = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = 0;
    dcb.wReserved = 0;
    dcb.XonLim = 0;
    dcb.XoffLim = 0;
    SetCommState(port, &dcb);

    // Reads return at once with what is queued or wait at most 5 ms for a first byte;
    // a write of n bytes may take at most 5 n ms.
    COMMTIMEOUTS timeouts {};
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = 5;
    timeouts.WriteTotalTimeoutMultiplier = 5;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(port, &timeouts);

    const DWORD queue = queueSize > 0 ? static_cast<DWORD>(queueSize) : 0;
    SetupComm(port, queue, queue);
}

class Win32SerialPort final : public SerialPort {
public:
    explicit Win32SerialPort(HANDLE handle) : handle(handle) {}
    ~Win32SerialPort() override { CloseHandle(handle); }

    int Read(uint8_t* destination, int n) override
    {
        DWORD got = 0;
        if (n <= 0)
            return 0;
        if (!ReadFile(handle, destination, static_cast<DWORD>(n), &got, nullptr)) {
            MarkIfLost(GetLastError());
            return 0;
        }
        return static_cast<int>(got);
    }

    bool Write(const uint8_t* source, int n) override
    {
        // A write cut short by the write timeout still counts as done.
        DWORD written = 0;
        if (WriteFile(handle, source, n > 0 ? static_cast<DWORD>(n) : 0, &written, nullptr))
            return true;
        MarkIfLost(GetLastError());
        return false;
    }

    int WriteSome(const uint8_t* source, int n) override
    {
        // The write timeout bounds the wait; what it took before that is the count.
        DWORD written = 0;
        if (WriteFile(handle, source, n > 0 ? static_cast<DWORD>(n) : 0, &written, nullptr))
            return static_cast<int>(written);
        MarkIfLost(GetLastError());
        return -1;
    }

    void CheckLine() override
    {
        DWORD errors = 0;
        COMSTAT status {};
        if (!ClearCommError(handle, &errors, &status))
            MarkIfLost(GetLastError());
    }

private:
    void MarkIfLost(DWORD error)
    {
        if (IsLineLostError(static_cast<int>(error)))
            MarkLost(LineLoss::kLineGone, static_cast<int>(error));
    }

    HANDLE handle;
};

HANDLE OpenExclusive(const std::string& path, DWORD flags)
{
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
}

}  // namespace

// Windows refuses a second open by itself: there is no holder to look for.
PortOpenResult OpenDevicePort(const std::string& path, const std::string& modeText, int queueSize,
                              HolderCheck /*check*/)
{
    PortOpenResult result;
    const HANDLE handle = OpenExclusive(path, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        result.failure = ExplainOpenFailure(path, static_cast<int>(GetLastError()));
        return result;
    }
    Configure(handle, modeText, queueSize);
    result.port = std::make_unique<Win32SerialPort>(handle);
    return result;
}

bool ProbeSerialPort(const std::string& path, int* error)
{
    const HANDLE handle = OpenExclusive(path, FILE_FLAG_OVERLAPPED);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error)
            *error = static_cast<int>(GetLastError());
        return false;
    }
    CloseHandle(handle);
    return true;
}

// What a removed USB adapter makes the port's calls fail with (Wine gives ERROR_NOT_READY when
// the line behind a COM port hangs up); a read that merely timed out fails with none of them.
bool IsLineLostError(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_NOT_READY:
        return true;
    default:
        return false;
    }
}

// The system closes a process's handles as it ends: no mark outlives it.
void ReleaseAllPorts() {}
