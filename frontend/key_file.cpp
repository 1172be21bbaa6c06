#include "key_file.h"

#include "binary_file.h"

namespace velmora::frontend {

std::vector<std::uint8_t> FmimaDuchu(const std::filesystem::path& path) {
    // Opened for reading only, so a key on read-only media or without write permission is read
    // and a mistyped name creates nothing. Failures are common::FileError, naming the file.
    return common::ReadHead(path.string(), kKeyFileLimit);
}

}  // namespace velmora::frontend
