#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
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
    // Reads `count` bytes at the 0-based `offset` into `buffer` (resized to `count`). A file
    // that has become shorter since it was opened is an error, not a run of zeros.
    void ReadExactly(std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer);

  private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;  // where the next unpositioned read starts
};

// The target of a file operation: always a new file. It is created exclusively, so an
// existing file is never overwritten, and it is removed again unless `Close` succeeds.
class OutputFile {
  public:
    explicit OutputFile(const std::filesystem::path& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(std::span<const std::uint8_t> bytes);
    // Closes the file and keeps it (also after a cancel: whole blocks written stay).
    void Close();

  private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

}  // namespace velmora::engine
