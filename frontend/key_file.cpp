#include "key_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "error.h"

namespace velmora::frontend {

std::vector<std::uint8_t> FmimaDuchu(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw common::Error("Cannot read the key file " + path.string() + ": it is a folder.");
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        throw common::Error("Cannot read the key file " + path.string() + ": " +
                            std::strerror(errno) + ".");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kKeyFileLimit));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        throw common::Error("Cannot read the key file " + path.string() + ": " +
                            std::strerror(error) + ".");
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace velmora::frontend
