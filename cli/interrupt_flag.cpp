// The stop request that a signal sets and the running command polls.
#include "cli/interrupt_flag.h"

#include <atomic>

namespace {

std::atomic<bool> interrupted {false};

}  // namespace

void RequestInterrupt() { interrupted = true; }
bool Interrupted() { return interrupted; }
