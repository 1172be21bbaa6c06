#include "interrupt.h"

#include <csignal>

namespace velmora::cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}
}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return interrupted != 0;
}

void SetInterruptedForTesting(bool value) {
    interrupted = value ? 1 : 0;
}

}  // namespace velmora::cli
