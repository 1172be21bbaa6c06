#include "target_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "error.h"

namespace velmora::engine {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
    throw common::Error(what + " " + path.string() + ": " + common::SystemReason(error) + ".");
}

std::string RandomSuffix() {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::string suffix;
    for (int i = 0; i < 12; ++i) suffix += kDigits[generator() % 36];
    return suffix;
}

// Gives `temporary` the name `final` unless that name exists. A hard link does it on every
// POSIX file system that has links; where there are none, a rename that refuses to replace.
int LinkWithoutReplace(const std::filesystem::path& temporary, const std::filesystem::path& final) {
    if (::link(temporary.c_str(), final.c_str()) == 0) return 0;
    const int error = errno;
    if (error != EPERM && error != ENOTSUP && error != EOPNOTSUPP && error != EMLINK) return error;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0) {
        return -1;  // the temporary name is gone already
    }
    return errno == EINVAL || errno == ENOSYS ? error : errno;
}

}  // namespace

TargetFile::TargetFile(const std::filesystem::path& shown, unsigned mode) : shown_(shown) {
    const std::filesystem::path folder = shown.parent_path();
    const std::filesystem::path base = folder.empty() ? std::filesystem::path(".") : folder;
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = base / (kTemporaryPrefix + RandomSuffix());
        // The kernel applies the umask to `mode`: never wider than the user allows.
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     static_cast<mode_t>(mode & 0777));
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            temporary_.clear();
            Fail("Cannot create", shown_, error);
        }
    }
}

TargetFile::~TargetFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!linked_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void TargetFile::Write(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("Cannot write", shown_, n < 0 ? errno : ENOSPC);
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

void TargetFile::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) Fail("Cannot write", shown_, errno);
}

std::filesystem::path TargetFile::Publish(const TargetNamer& namer) {
    Close();
    std::set<std::string> taken;
    for (;;) {
        const std::filesystem::path final = namer(taken);
        if (taken.count(final.string()) != 0) Fail("Cannot create", final, EEXIST);
        const int error = LinkWithoutReplace(temporary_, final);
        if (error == EEXIST) {
            taken.insert(final.string());
            continue;
        }
        if (error > 0) Fail("Cannot create", final, error);
        if (error == 0) ::unlink(temporary_.c_str());
        linked_ = true;
        return final;
    }
}

}  // namespace velmora::engine
