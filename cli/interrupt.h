#pragma once

#include <termios.h>

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

// While one lives, nothing is on disk to clean up, and a signal ends the process at once
// (status 128 + signal, the terminal restored). It guards reads that may wait for ever (a
// password, a FIFO as key file): a signal that came just before such a read began would
// otherwise leave the read waiting. Throws `Cancelled` when a signal has come already.
class StopAtOnce {
  public:
    StopAtOnce();
    ~StopAtOnce();
    StopAtOnce(const StopAtOnce&) = delete;
    StopAtOnce& operator=(const StopAtOnce&) = delete;
};

// The terminal settings a stop restores on `fd` (echo comes back on); null forgets them.
void RestoreTerminalOnStop(int fd, const termios* saved);

}  // namespace velmora::cli
