#pragma once

#include <stdexcept>
#include <string>

namespace velmora::cli {

// Exit statuses of velmora-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;      // a file could not be processed; the message names it
constexpr int kExitUsage = 2;        // the command line itself is wrong
constexpr int kExitCancelled = 130;  // interrupted by the user (128 + SIGINT)

// A command line that cannot work, whatever the files hold.
class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// The user interrupted the job.
class Cancelled : public std::runtime_error {
  public:
    Cancelled() : std::runtime_error("Interrupted.") {}
};

}  // namespace velmora::cli
