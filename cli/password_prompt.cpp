#include "password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "cli_errors.h"
#include "error.h"
#include "interrupt.h"
#include "utf16le.h"

namespace velmora::cli {

namespace {

// Turns echo off on a terminal and always back on, also when a signal ends the prompt.
class QuietTerminal {
  public:
    explicit QuietTerminal(int fd) : fd_(fd), active_(tcgetattr(fd, &saved_) == 0) {
        if (!active_) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        RestoreTerminalOnStop(fd_, &saved_);
        tcsetattr(fd_, TCSAFLUSH, &quiet);
    }
    ~QuietTerminal() {
        if (!active_) return;
        tcsetattr(fd_, TCSAFLUSH, &saved_);
        RestoreTerminalOnStop(-1, nullptr);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_;
};

}  // namespace

std::string ReadPasswordLine(std::FILE* in) {
    std::string line;
    int c = 0;
    if (Interrupted()) throw Cancelled(InterruptSignal(), false);
    while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && (std::ferror(in) || Interrupted())) {
        const int error = errno;
        // A signal ends a read that waits for input: that is a stop, not a read error. The
        // read may also see the end of the input first, when the signal closed its source.
        if (Interrupted() || error == EINTR) throw Cancelled(InterruptSignal(), false);
        throw common::Error("Cannot read the password: " + common::SystemReason(error) + ".");
    }
    if (c == EOF && line.empty()) {
        // An empty line is the empty password; no line at all is most likely a script whose
        // password source failed, and must not silently encrypt with the empty key.
        throw UsageError("The input ended before a password line was read.");
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!common::IsValidUtf8(line)) {
        // Malformed bytes would all read as U+FFFD, so different passwords would give one key.
        throw UsageError("The password is not valid UTF-8 text.");
    }
    return line;
}

std::string AskPassword(const std::string& prompt) {
    std::FILE* tty = std::fopen("/dev/tty", "r+");
    if (tty == nullptr) {
        throw UsageError(
            "There is no terminal to ask the password on; use --password-stdin, "
            "--password-file or --lock-file.");
    }
    struct Closer {
        std::FILE* file;
        ~Closer() { std::fclose(file); }
    } closer{tty};
    QuietTerminal quiet(fileno(tty));
    std::fputs(prompt.c_str(), tty);
    std::fflush(tty);
    return ReadPasswordLine(tty);
}

}  // namespace velmora::cli
