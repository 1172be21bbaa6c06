#include "binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace velmora::common {

namespace {

using Action = FileError::Action;
using Problem = FileError::Problem;

const char* Verb(Action action) {
    switch (action) {
        case Action::kOpen:
            return "open";
        case Action::kRead:
            return "read";
        case Action::kWrite:
            return "write";
        case Action::kShorten:
            return "shorten";
        case Action::kMeasure:
            return "measure";
        case Action::kRemove:
            return "remove";
    }
    return "use";
}

std::string Because(Problem problem, int code) {
    switch (problem) {
        case Problem::kNoPath:
            return "no file has been chosen";
        case Problem::kMissing:
            return "there is no such file";
        case Problem::kFolder:
            return "it is a folder";
        case Problem::kNotRegular:
            return "it is not a regular file";
        case Problem::kNoPermission:
            return "permission denied";
        case Problem::kReadOnly:
            return "the medium is read-only";
        case Problem::kDiskFull:
            return "the disk is full";
        case Problem::kBadPosition:
            return "positions start at 1";
        case Problem::kOther:
            break;
    }
    return std::strerror(code);
}

Problem ProblemOf(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
            return Problem::kMissing;
        case EISDIR:
            return Problem::kFolder;
        case EACCES:
        case EPERM:
            return Problem::kNoPermission;
        case EROFS:
            return Problem::kReadOnly;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return Problem::kDiskFull;
        case ENXIO:
        case ENODEV:
            return Problem::kNotRegular;
        default:
            return Problem::kOther;
    }
}

[[noreturn]] void Fail(Action action, const std::string& path, int code) {
    throw FileError(action, ProblemOf(code), path, code);
}

void CheckPosition(const std::string& path, Action action, int64_t position) {
    if (position < 1) throw FileError(action, Problem::kBadPosition, path);
}

// Opens for binary access and refuses what is not a regular file. O_NONBLOCK keeps a pipe from
// holding the window until a writer comes; it means nothing for regular files.
class Handle {
  public:
    Handle(const std::string& path, Access access) {
        if (path.empty()) throw FileError(Action::kOpen, Problem::kNoPath, path);
        int flags = O_CLOEXEC | O_NONBLOCK;
        flags |= access == Access::kReadOnly ? O_RDONLY : (O_RDWR | O_CREAT);
        fd_ = ::open(path.c_str(), flags, 0644);
        if (fd_ < 0) Fail(Action::kOpen, path, errno);
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            const int code = errno;
            ::close(fd_);
            Fail(Action::kOpen, path, code);
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd_);
            throw FileError(Action::kOpen,
                            S_ISDIR(st.st_mode) ? Problem::kFolder : Problem::kNotRegular, path);
        }
    }
    ~Handle() {
        if (fd_ >= 0) ::close(fd_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    int fd() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_ = -1;
};

// Fills `buffer` from `offset`; stops early at the end of the file. Returns the bytes read.
size_t ReadAt(int fd, const std::string& path, uint8_t* buffer, size_t size, int64_t offset) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, buffer + done, size - done,
                            static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(Action::kRead, path, errno);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void WriteAt(int fd, const std::string& path, const std::vector<uint8_t>& bytes, int64_t position) {
    CheckPosition(path, Action::kWrite, position);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(position - 1 + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(Action::kWrite, path, errno);
        }
        done += static_cast<size_t>(n);
    }
}

}  // namespace

FileError::FileError(Action action, Problem problem, std::string path, int system_code)
    : Error(path.empty() ? std::string("No file has been chosen.")
                         : "Cannot " + std::string(Verb(action)) + " " + path + ": " +
                               Because(problem, system_code) + "."),
      action_(action),
      problem_(problem),
      path_(std::move(path)),
      system_code_(system_code) {}

std::vector<uint8_t> ReadBlock(const std::string& path, int64_t position, int64_t count,
                               Access access) {
    CheckPosition(path, Action::kRead, position);
    if (count < 0) throw FileError(Action::kRead, Problem::kBadPosition, path);
    Handle file(path, access);
    std::vector<uint8_t> buffer(static_cast<size_t>(count), 0);
    ReadAt(file.fd(), path, buffer.data(), buffer.size(), position - 1);
    return buffer;
}

std::vector<uint8_t> ReadHead(const std::string& path, int64_t limit) {
    Handle file(path, Access::kReadOnly);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) Fail(Action::kMeasure, path, errno);
    std::vector<uint8_t> bytes(
        static_cast<size_t>(std::clamp<int64_t>(st.st_size, 0, std::max<int64_t>(limit, 0))));
    // A file that shrinks while it is read gives what it still holds.
    bytes.resize(ReadAt(file.fd(), path, bytes.data(), bytes.size(), 0));
    return bytes;
}

std::vector<uint8_t> ReadPipeHead(const std::string& path, int64_t limit) {
    if (path.empty()) throw FileError(Action::kOpen, Problem::kNoPath, path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail(Action::kOpen, path, errno);
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(limit, 0)));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            const int code = errno;
            ::close(fd);
            Fail(Action::kRead, path, code);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(done);
    return bytes;
}

void WriteBlock(const std::string& path, int64_t position, const std::vector<uint8_t>& bytes) {
    CheckPosition(path, Action::kWrite, position);
    Handle file(path, Access::kReadWrite);
    WriteAt(file.fd(), path, bytes, position);
}

int64_t FileLength(const std::string& path) {
    if (path.empty()) throw FileError(Action::kMeasure, Problem::kNoPath, path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) Fail(Action::kMeasure, path, errno);
    if (!S_ISREG(st.st_mode)) {
        throw FileError(Action::kMeasure,
                        S_ISDIR(st.st_mode) ? Problem::kFolder : Problem::kNotRegular, path);
    }
    return static_cast<int64_t>(st.st_size);
}

void RemoveFile(const std::string& path) {
    if (path.empty()) throw FileError(Action::kRemove, Problem::kNoPath, path);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) Fail(Action::kRemove, path, errno);
}

OpenBinaryFile::OpenBinaryFile(const std::string& path) : path_(path) {
    fd_ = Handle(path, Access::kReadWrite).Release();
}

OpenBinaryFile::~OpenBinaryFile() {
    ::close(fd_);
}

int64_t OpenBinaryFile::Length() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(Action::kMeasure, path_, errno);
    return static_cast<int64_t>(st.st_size);
}

void OpenBinaryFile::Write(int64_t position, const std::vector<uint8_t>& bytes) {
    WriteAt(fd_, path_, bytes, position);
}

void OpenBinaryFile::Shorten(int64_t length) {
    while (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) Fail(Action::kShorten, path_, errno);
    }
}

WholeFile ReadWholeFile(const std::string& path, int64_t limit) {
    WholeFile file;
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        file.status = errno == ENOENT || errno == ENOTDIR || path.empty()
                          ? WholeFile::Status::kMissing
                          : WholeFile::Status::kUnreadable;
        return file;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        file.status = WholeFile::Status::kUnreadable;
        return file;
    }
    if (st.st_size > limit) {
        ::close(fd);
        file.status = WholeFile::Status::kTooLarge;
        return file;
    }
    file.status = WholeFile::Status::kRead;
    file.bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < file.bytes.size()) {
        const ssize_t n = ::read(fd, file.bytes.data() + done, file.bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            file.status = WholeFile::Status::kUnreadable;
            break;
        }
        if (n == 0) break;  // shortened while we read: keep what was there
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    file.bytes.resize(file.status == WholeFile::Status::kRead ? done : 0);
    return file;
}

}  // namespace velmora::common
