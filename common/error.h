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

}  // namespace velmora::common
