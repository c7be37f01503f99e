// The local time, one implementation per system.
#pragma once

#include <ctime>

// The local time at `when`, without the buffer that localtime shares between threads (several
// threads may log at once); false when there is none.
bool LocalTimeOf(std::time_t when, std::tm& local);
