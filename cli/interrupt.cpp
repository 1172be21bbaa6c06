#include "interrupt.h"

#include <csignal>
#include <cstdio>

namespace velmora::cli {

namespace {
volatile std::sig_atomic_t received = 0;

extern "C" void OnInterrupt(int signal) {
    if (received == 0) received = signal;
}

// Every signal whose default action ends the process and that a program may catch, apart
// from the ones that report a fault of the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT, SIGTRAP, SIGSYS): after those nothing can safely go on.
constexpr int kTerminating[] = {SIGINT,    SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE,
                                SIGUSR1,   SIGUSR2, SIGALRM, SIGXFSZ, SIGXCPU,
                                SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};

struct Named {
    int signal;
    const char* name;
};
constexpr Named kNames[] = {
    {SIGINT, "SIGINT"},   {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"},       {SIGQUIT, "SIGQUIT"},
    {SIGPIPE, "SIGPIPE"}, {SIGUSR1, "SIGUSR1"}, {SIGUSR2, "SIGUSR2"},     {SIGALRM, "SIGALRM"},
    {SIGXFSZ, "SIGXFSZ"}, {SIGXCPU, "SIGXCPU"}, {SIGVTALRM, "SIGVTALRM"}, {SIGPROF, "SIGPROF"},
    {SIGIO, "SIGIO"},     {SIGPWR, "SIGPWR"},   {SIGSTKFLT, "SIGSTKFLT"},
};
}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read that blocks (a password prompt, a FIFO as key file) must return
    // with EINTR, or the signal would wait for input that may never come.
    for (int signal : kTerminating) sigaction(signal, &action, nullptr);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);
}

bool Interrupted() {
    return received != 0;
}

int InterruptSignal() {
    return received;
}

const char* SignalName(int signal) {
    for (const Named& named : kNames) {
        if (named.signal == signal) return named.name;
    }
    static char buffer[32];
    std::snprintf(buffer, sizeof buffer, "signal %d", signal);
    return buffer;
}

void SetInterruptedForTesting(int signal) {
    received = signal;
}

}  // namespace velmora::cli
