// The system facts on Windows: the registry's edition and build, the names of the user and the
// computer, and whether a 32-bit program runs on a 64-bit system.
#include "base/system_facts.h"

#include <windows.h>

namespace {

std::string Utf8(const wchar_t* text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

// A text value of HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion, read as the system's own
// (not the 32-bit view's); "" when it is not there.
std::string CurrentVersionValue(const wchar_t* name)
{
    wchar_t value[256] = L"";
    DWORD size = sizeof value - sizeof(wchar_t);
    const LSTATUS read =
        ::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", name,
                       RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value, &size);
    return read == ERROR_SUCCESS ? Utf8(value) : std::string();
}

bool OnSixtyFourBits()
{
    BOOL wow = FALSE;
    using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 = reinterpret_cast<IsWow64>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    return sizeof(void*) == 8 || (isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow) && wow);
}

}  // namespace

SystemFacts ReadSystemFacts()
{
    SystemFacts facts;
    const std::string product = CurrentVersionValue(L"ProductName");
    const std::string release = CurrentVersionValue(L"DisplayVersion");
    const std::string build = CurrentVersionValue(L"CurrentBuildNumber");
    facts.system = (product.empty() ? "Windows" : product) + (release.empty() ? "" : " " + release) +
                   (build.empty() ? "" : ", build " + build);
    facts.programBits = static_cast<int>(sizeof(void*) * 8);
    facts.systemBits = OnSixtyFourBits() ? 64 : 32;
    wchar_t name[256] = L"";
    DWORD size = 255;
    if (::GetUserNameW(name, &size))
        facts.userName = Utf8(name);
    size = 255;
    if (::GetComputerNameW(name, &size))
        facts.computerName = Utf8(name);
    wchar_t profile[MAX_PATH] = L"";
    if (::GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH) > 0)
        facts.homeFolder = Utf8(profile);
    return facts;
}

// Windows gives serial ports no group: its own refusal is the port held by another program.
DeviceGroup DeviceGroupOf(const std::string& /*path*/) { return {}; }
