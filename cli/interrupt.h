#pragma once

namespace velmora::cli {

// A terminating signal (Ctrl-C, a closed terminal or pipe, a kill, a file-size limit) does
// not kill the process: it records the signal, which the running job reads at its next
// progress poll or when a blocked read returns, so the job can remove its unfinished target
// before it exits with 128 + the signal's number.
void InstallInterruptHandler();
bool Interrupted();
// The first signal received, 0 when none.
int InterruptSignal();
// The signal's usual name ("SIGINT"), or "signal N".
const char* SignalName(int signal);
void SetInterruptedForTesting(int signal);

}  // namespace velmora::cli
