// Another program holding a COM port: on Windows an exclusive handle blocks every other opener,
// this process's own included, so the test keeps one itself.
#include "tests/support/port_holder.h"

#include "tests/support/win_ports.h"

PortHolder::PortHolder(const std::string& path, const std::string& /*programName*/, bool /*locks*/)
{
    const HANDLE port =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return;
    handle = port;
    held = true;
}

PortHolder::~PortHolder()
{
    if (handle != nullptr)
        CloseHandle(static_cast<HANDLE>(handle));
}

bool PortHolder::Enforced() { return !RunningUnderWine(); }
