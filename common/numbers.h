#pragma once

#include <cstdint>
#include <string>

namespace velmora::common {

// The value of the longest leading decimal number of `text` after every space, tab, carriage
// return and line feed has been removed: optional sign, digits, optional fraction, optional
// exponent (E or e). A text without a leading number reads as 0.
double ReadDecimal(const std::string& text);

// Rounds to the nearest 32-bit integer, an exact half going to the even neighbour. Throws
// Error for a value outside the signed 32-bit range, so a typed number never wraps silently.
int32_t RoundToInt32(double value);

// ReadDecimal followed by RoundToInt32: how every number box and value token is read.
int32_t ReadNumber(const std::string& text);

// A number inside a built text (check lines, read-out lines, labels): one leading space, the
// place of the sign.
std::string WriteNumberInText(int64_t value);

// A number standing alone in a number box: no leading space.
std::string WriteNumberInBox(int64_t value);

}  // namespace velmora::common
