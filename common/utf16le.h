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

// True when `utf8` is well-formed UTF-8 throughout: no stray or missing continuation bytes, no
// overlong forms, no encoded surrogates (ED A0 80 ...), nothing past U+10FFFF. Key material
// is checked with it, since two malformed texts would both read as U+FFFD and give one key.
bool IsValidUtf8(const std::string& utf8);

// UTF-8 text (command lines, terminals, file names) as UTF-16. Malformed sequences become
// U+FFFD, so no input is silently dropped.
std::u16string Utf8ToUtf16(const std::string& utf8);

// UTF-16 as UTF-8, for terminals and file names; a lone surrogate is written as is.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace velmora::common
