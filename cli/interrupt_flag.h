// Ctrl-C and the termination signals: asks the running command to stop at its next poll step.
// Safe from any thread.
#pragma once

#include "serial/port_status.h"

void RequestInterrupt();
bool Interrupted();
// The checks of the ports on serial servers, given up at the next step once Ctrl-C came.
ServerCheckWatch InterruptibleChecks();
