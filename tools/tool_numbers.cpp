#include "tool_numbers.h"

#include "numbers.h"

namespace tools {

NumberRangeError::NumberRangeError(std::string typed)
    : velmora::common::Error("The number " + typed + " is outside the 32-bit range."),
      typed_(std::move(typed)) {}

int32_t ReadToolNumber(const std::string& text) {
    return RoundToolNumber(velmora::common::ReadDecimal(text), text);
}

int32_t RoundToolNumber(double value, const std::string& typed) {
    try {
        return velmora::common::RoundToInt32(value);
    } catch (const velmora::common::Error&) {
        throw NumberRangeError(typed);
    }
}

}  // namespace tools
