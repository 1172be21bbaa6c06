#include "interrupt.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli_errors.h"

namespace velmora::cli {

namespace {
// A job runs several threads (its workers and their I/O), and a signal may be handled on any
// of them: the flags are lock-free atomics, which a handler may touch and every thread sees.
std::atomic<int> received{0};
std::atomic<int> stopAtOnce{0};
std::atomic<int> terminalFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);
termios terminalSaved{};

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

// Only async-signal-safe calls from here on: tcsetattr, write, _exit.
extern "C" void OnInterrupt(int signal) {
    int none = 0;
    received.compare_exchange_strong(none, signal);
    if (stopAtOnce == 0) return;
    if (terminalFd >= 0) tcsetattr(terminalFd, TCSAFLUSH, &terminalSaved);
    const char* name = "a signal";
    for (const Named& named : kNames) {
        if (named.signal == signal) name = named.name;
    }
    char message[64] = "\nvelmora-cli: Stopped by ";
    std::strncat(message, name, 20);
    std::strncat(message, ".\n", 3);
    [[maybe_unused]] const ssize_t written = ::write(2, message, std::strlen(message));
    ::_exit(128 + signal);
}
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

StopAtOnce::StopAtOnce() {
    // Armed first, checked second: a signal either finds it armed or is seen here.
    stopAtOnce = 1;
    if (received != 0) {
        stopAtOnce = 0;
        throw Cancelled(received.load(), false);
    }
}

StopAtOnce::~StopAtOnce() {
    stopAtOnce = 0;
}

void RestoreTerminalOnStop(int fd, const termios* saved) {
    terminalFd = -1;
    if (saved == nullptr) return;
    terminalSaved = *saved;
    terminalFd = fd;
}

}  // namespace velmora::cli
