// Formatting of the version text, shared by every system's way of reading the version; the build's
// compiler and word size.
#include "base/version.h"

#include <cstdio>

std::string FormatVersionText(int major, int minor, int release)
{
    char text[40];
    std::snprintf(text, sizeof text, "v%02d.%02d.%02d", major, minor, release);
    return text;
}

std::string ProgramBuildText()
{
#if defined(__clang__)
    const std::string compiler = "clang " __clang_version__;
#elif defined(__GNUC__)
    const std::string compiler = "GCC " __VERSION__;
#else
    const std::string compiler;
#endif
    return compiler + ", " + std::to_string(sizeof(void*) * 8) + " bits";
}
