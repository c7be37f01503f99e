// The program's version as the caption shows it: "v%02d.%02d.%02d" from major, minor and release.
#pragma once

#include <string>

// "v01.00.00" for 1, 0, 0.
std::string FormatVersionText(int major, int minor, int release);

// The version text of this executable; empty when it can't be read. One implementation per
// system: the build's version on Linux, the executable's version resource on Windows.
std::string ProgramVersionText();

// How this executable was built, for reports: "GCC 12.2.0, 32 bits".
std::string ProgramBuildText();
