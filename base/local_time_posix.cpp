// The local time on POSIX systems.
#include "base/local_time.h"

bool LocalTimeOf(std::time_t when, std::tm& local) { return localtime_r(&when, &local) != nullptr; }
