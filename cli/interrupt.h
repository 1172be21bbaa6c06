#pragma once

namespace velmora::cli {

// Ctrl-C does not kill the process: it raises a flag that the running job reads at its next
// progress poll, so the job can remove its partial target before it exits.
void InstallInterruptHandler();
bool Interrupted();
void SetInterruptedForTesting(bool value);

}  // namespace velmora::cli
