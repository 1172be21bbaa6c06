#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace velmora::engine {

// The source of a file operation, read in blocks at 64-bit offsets.
class InputFile {
  public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::int64_t Size() const { return size_; }
    // The permission bits (rwx for user, group and others) the source's target takes over.
    unsigned Mode() const { return mode_; }
    // Reads `count` bytes at the 0-based `offset` into `buffer` (resized to `count`). A file
    // that has become shorter since it was opened is an error, not a run of zeros.
    void ReadExactly(std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer);

  private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
    unsigned mode_ = 0;
};

}  // namespace velmora::engine
