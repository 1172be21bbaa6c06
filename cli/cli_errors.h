#pragma once

#include <stdexcept>
#include <string>

namespace velmora::cli {

// Exit statuses of velmora-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;      // a file could not be processed; the message names it
constexpr int kExitUsage = 2;        // the command line itself is wrong
constexpr int kExitCancelled = 130;  // interrupted by the user (128 + SIGINT); other signals
                                     // give 128 + their number

// A command line that cannot work, whatever the files hold.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// A signal stopped the job. `fileRemoved` tells whether a file was in hand, whose unfinished
// target was then removed.
class Cancelled : public std::runtime_error {
  public:
    Cancelled(int signal, bool fileRemoved)
        : std::runtime_error("Interrupted."), signal_(signal), fileRemoved_(fileRemoved) {}
    int Signal() const { return signal_; }
    bool FileRemoved() const { return fileRemoved_; }

  private:
    int signal_;
    bool fileRemoved_;
};

}  // namespace velmora::cli
