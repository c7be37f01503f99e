// COM ports of the Windows tests: scripts/test-windows names them in environment variables
// (KESTRO_WIN_SIM_PORT, KESTRO_WIN_REFUSING_PORT, KESTRO_WIN_ECHO_PORT, KESTRO_WIN_MISSING_PORT).
#pragma once

#include <cstdlib>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The port name in the environment variable, or empty.
inline std::string WinTestPort(const char* variable)
{
    const char* value = std::getenv(variable);
    return value ? value : "";
}

// True under Wine, which differs from Windows in a few documented ways.
inline bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Declares `name` as the port of `variable`; the test is skipped when none is named.
#define REQUIRE_PORT(variable, name)                                                                              \
    const std::string name = WinTestPort(variable);                                                               \
    if (name.empty())                                                                                             \
        GTEST_SKIP() << variable " names no port";
