// The local time on Windows.
#include "base/local_time.h"

bool LocalTimeOf(std::time_t when, std::tm& local) { return localtime_s(&local, &when) == 0; }
