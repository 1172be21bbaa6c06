#pragma once

#include <cstdint>
#include <string>

#include "binary_file.h"

namespace tools {

// An append that failed part-way and was taken back: the file holds what it held before.
class AppendUndoneError : public velmora::common::FileError {
  public:
    explicit AppendUndoneError(const velmora::common::FileError& cause) : FileError(cause) {}
};

// Writes generator bytes into `path` at the 1-based positions start..end, in chunks of at most
// 1000000 bytes, opening and closing the file once; a start below 1 becomes 1 (written back).
// Nothing is opened when end < start.
// When a write fails part-way (disk full, size limit), the file is cut back to its length
// before the call and AppendUndoneError is thrown: an append beyond the old end leaves the
// file as it was. Bytes of the old file that the segment overwrote (a start inside the file)
// cannot be taken back. When even the cut fails, the write's FileError is thrown as it stands.
void WenJianTianJiaSuiJi(const std::string& path, int32_t& start, int32_t& end);

// Shortens `path` in place to its first `remaining` bytes. Refuses (throws Error) a remaining
// length below 1 or above the file's length, which would not be a cut.
void CutToLength(const std::string& path, int64_t remaining);

}  // namespace tools
