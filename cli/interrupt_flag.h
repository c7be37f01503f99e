// Ctrl-C and the termination signals: asks the running command to stop at its next poll step.
// Safe from any thread.
#pragma once

void RequestInterrupt();
bool Interrupted();
