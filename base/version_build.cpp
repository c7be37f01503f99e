// Version text from the numbers that the build puts in (the project's version in CMake).
#include "base/version.h"

#if defined(PROJECT_VERSION_MAJOR) && defined(PROJECT_VERSION_MINOR) && defined(PROJECT_VERSION_PATCH)
std::string ProgramVersionText()
{
    return FormatVersionText(PROJECT_VERSION_MAJOR, PROJECT_VERSION_MINOR, PROJECT_VERSION_PATCH);
}
#else
// A build without the numbers has no readable version: the caption keeps its trailing blank.
std::string ProgramVersionText() { return {}; }
#endif
