#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "error.h"

namespace velmora::engine {

static_assert(sizeof(long) >= 8, "file offsets of 2 GiB and more need a 64-bit long");

namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
    throw common::Error(what + " " + path.string() + ": " + common::SystemReason(error) + ".");
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& path) : path_(path) {
    // One open, one stat for the size and the permission bits, and unbuffered reads of
    // whole blocks: a job of many small files pays for every system call. O_NONBLOCK keeps
    // the open from waiting on a FIFO, which is refused like every other non-regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail("Cannot read", path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        Fail("Cannot read", path, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw common::Error(
            "Cannot read " + path.string() +
            (S_ISDIR(st.st_mode) ? ": it is a folder." : ": it is not a regular file."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    size_ = static_cast<std::int64_t>(st.st_size);
    mode_ = static_cast<unsigned>(st.st_mode & 0777);
    file_ = ::fdopen(fd, "rb");
    if (file_ == nullptr) {
        const int error = errno;
        ::close(fd);
        Fail("Cannot read", path, error);
    }
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

}  // namespace velmora::engine
