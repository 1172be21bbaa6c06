#include "key_file.h"

#include "binary_file.h"

namespace velmora::frontend {

std::vector<std::uint8_t> FmimaDuchu(const std::filesystem::path& path, Pipes pipes) {
    // Opened for reading only, so a key on read-only media or without write permission is read
    // and a mistyped name creates nothing. Failures are common::FileError, naming the file.
    std::error_code ec;
    if (pipes == Pipes::kWait && std::filesystem::is_fifo(path, ec)) {
        return common::ReadPipeHead(path.string(), kKeyFileLimit);
    }
    return common::ReadHead(path.string(), kKeyFileLimit);
}

}  // namespace velmora::frontend
