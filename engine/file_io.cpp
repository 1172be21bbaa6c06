#include "file_io.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "error.h"

namespace velmora::engine {

static_assert(sizeof(long) >= 8, "file offsets of 2 GiB and more need a 64-bit long");

namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
    std::string message = what + " " + path.string();
    if (error != 0) message += ": " + std::string(std::strerror(error));
    throw common::Error(message + ".");
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    // One stat for the size (it also refuses a folder), one open, and unbuffered reads of
    // whole blocks: a job of many small files pays for every system call.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) Fail("Cannot read", path, ec.value());
    size_ = static_cast<std::int64_t>(size);
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) Fail("Cannot open", path, errno);
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

InputFile::~InputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void InputFile::ReadExactly(std::int64_t offset, std::int64_t count,
                            std::vector<std::uint8_t>& buffer) {
    buffer.resize(static_cast<std::size_t>(count));
    if (count == 0) return;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
        Fail("Cannot read", path_, errno);
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_);
    if (got != buffer.size()) {
        if (std::ferror(file_)) Fail("Cannot read", path_, errno);
        throw common::Error("The file " + path_.string() + " became shorter while it was read.");
    }
}

OutputFile::OutputFile(const std::filesystem::path& path) : path_(path) {
    // "x": exclusive creation. A target that exists already is refused, never overwritten.
    file_ = std::fopen(path.c_str(), "wbx");
    if (file_ == nullptr) Fail("Cannot create", path, errno);
    std::setvbuf(file_, nullptr, _IONBF, 0);  // the drivers write whole blocks
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) {
        // Neither closed nor kept: an error ended the operation, so the partial target goes.
        std::fclose(file_);
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
}

void OutputFile::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        Fail("Cannot write", path_, errno);
    }
}

void OutputFile::Close() {
    std::FILE* file = file_;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    file_ = nullptr;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed) {
        const int error = flushed ? errno : flushError;
        std::error_code ec;
        std::filesystem::remove(path_, ec);
        Fail("Cannot write", path_, error);
    }
}

}  // namespace velmora::engine
