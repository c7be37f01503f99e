// Formatting of the version text, shared by every system's way of reading the version.
#include "base/version.h"

#include <cstdio>

std::string FormatVersionText(int major, int minor, int release)
{
    char text[40];
    std::snprintf(text, sizeof text, "v%02d.%02d.%02d", major, minor, release);
    return text;
}
