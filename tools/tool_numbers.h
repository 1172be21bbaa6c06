#pragma once

#include <cstdint>
#include <string>

#include "error.h"

namespace tools {

// A typed number that the 32-bit rules cannot hold (too large, or beyond double range such as
// 1e400). Carries what the user typed, so the window can say which entry to mend.
class NumberRangeError : public velmora::common::Error {
  public:
    explicit NumberRangeError(std::string typed);
    const std::string& typed() const { return typed_; }

  private:
    std::string typed_;
};

// The number rules of every box and value token, with the range failure as NumberRangeError.
int32_t ReadToolNumber(const std::string& text);
// Rounds a computed value (a length plus a typed number); `typed` names the entry it came from.
int32_t RoundToolNumber(double value, const std::string& typed);

}  // namespace tools
