#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::common {

// Binary file access as the tools and Velmora's windows use it. Each call opens the file for
// reading and writing (creating a missing one), moves one block and closes it again, so no
// handler leaves a file open. Positions are 1-based (position 1 is the first byte) and 64-bit.
// Failures (a folder, an empty path, no permission) throw Error with a readable message.

// Reads `count` bytes starting at `position`. Bytes past the end of the file are 0.
std::vector<uint8_t> ReadBlock(const std::string& path, int64_t position, int64_t count);

// Writes `bytes` starting at `position`. Never shortens the file; a gap between the old end
// and `position` reads as zeros afterwards.
void WriteBlock(const std::string& path, int64_t position, const std::vector<uint8_t>& bytes);

// Length of an existing file in bytes; throws Error when the path is not a file.
int64_t FileLength(const std::string& path);

// A whole file read for reading only: a missing file is not created and a read-only one (an
// installed file, or a link to one) can be read. Files longer than the limit are not read, and
// a pipe or device of that name is refused without waiting on it.
struct WholeFile {
    enum class Status { kRead, kMissing, kUnreadable, kTooLarge };
    Status status = Status::kMissing;
    std::vector<uint8_t> bytes;
};
WholeFile ReadWholeFile(const std::string& path, int64_t limit);

}  // namespace velmora::common
