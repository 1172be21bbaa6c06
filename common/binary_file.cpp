#include "binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "error.h"

namespace velmora::common {

namespace {

std::string Reason() {
    return std::strerror(errno);
}

// Opens for binary access: read and write, created when missing; refuses what is not a file.
class BinaryHandle {
  public:
    explicit BinaryHandle(const std::string& path) : path_(path) {
        if (path.empty()) throw Error("No file has been chosen.");
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) throw Error("Cannot open " + path + ": " + Reason());
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            throw Error("Cannot open " + path + ": not a file");
        }
    }
    ~BinaryHandle() { ::close(fd_); }
    BinaryHandle(const BinaryHandle&) = delete;
    BinaryHandle& operator=(const BinaryHandle&) = delete;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

void CheckPosition(const std::string& path, int64_t position) {
    if (position < 1) {
        throw Error("Bad file position " + std::to_string(position) + " for " + path +
                    ": positions start at 1.");
    }
}

}  // namespace

std::vector<uint8_t> ReadBlock(const std::string& path, int64_t position, int64_t count) {
    CheckPosition(path, position);
    if (count < 0) throw Error("Bad read length " + std::to_string(count) + ".");
    BinaryHandle file(path);
    std::vector<uint8_t> buffer(static_cast<size_t>(count), 0);
    size_t done = 0;
    while (done < buffer.size()) {
        ssize_t n = ::pread(file.fd(), buffer.data() + done, buffer.size() - done,
                            static_cast<off_t>(position - 1 + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error("Cannot read " + path + ": " + Reason());
        }
        if (n == 0) break;  // end of file: the rest stays zero
        done += static_cast<size_t>(n);
    }
    return buffer;
}

void WriteBlock(const std::string& path, int64_t position, const std::vector<uint8_t>& bytes) {
    CheckPosition(path, position);
    BinaryHandle file(path);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(file.fd(), bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(position - 1 + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error("Cannot write " + path + ": " + Reason());
        }
        done += static_cast<size_t>(n);
    }
}

int64_t FileLength(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        throw Error("Not a file: " + path);
    }
    return static_cast<int64_t>(st.st_size);
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
