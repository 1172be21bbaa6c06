#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::common {

// A string turned into bytes: its UTF-16 code units, low byte first, no byte-order mark and
// no terminator. This is how passwords become key material and how Unicode files are stored.
std::vector<std::uint8_t> Utf16LeBytes(const std::u16string& text);

// The reverse: pairs of bytes, low byte first, become code units. An odd last byte is
// ignored (it holds no whole code unit).
std::u16string FromUtf16LeBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace velmora::common
