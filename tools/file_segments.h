#pragma once

#include <cstdint>
#include <string>

namespace tools {

// Writes generator bytes into `path` at the 1-based positions start..end, in chunks of at most
// 1000000 bytes; a start below 1 becomes 1 (written back). Nothing is opened when end < start.
void WenJianTianJiaSuiJi(const std::string& path, int32_t& start, int32_t& end);

// Shortens `path` in place to its first `remaining` bytes. Refuses (throws Error) a remaining
// length below 1 or above the file's length, which would not be a cut.
void CutToLength(const std::string& path, int64_t remaining);

}  // namespace tools
