#pragma once

#include <stdexcept>
#include <string>

namespace velmora::common {

// The one error type of the suite: a failure that ends the running command. Its message is
// meant for the user, so it names the file and the reason.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The reason behind a failed system call (`errno`), in the suite's own English words for the
// failures a user can act on, so messages do not depend on a library's wording.
std::string SystemReason(int error);

}  // namespace velmora::common
