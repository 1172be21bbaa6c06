#include "job_errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "texts.h"

namespace velmora::frontend {

namespace {

// 0 when `path` opens for reading as a file, else the error number.
int ReadableFileError(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    const int error = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    ::close(fd);
    return error;
}

// 0 when a new file can be made in `folder`. The probe is an unnamed file that vanishes on
// close, so nothing is left behind, whatever the answer.
int NewFileError(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    // Some file systems cannot make unnamed files; then only the permission bits can tell.
    if (errno == EOPNOTSUPP || errno == EISDIR)
        return ::access(folder.c_str(), W_OK) == 0 ? 0 : errno;
    return errno;
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

std::string WhyUnopenable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return texts::ReasonOf(errno);
    ::close(fd);
    return texts::ReasonOf(EIO);
}

void CheckSourceFile(const std::string& path) {
    if (path.empty()) throw JobError(texts::NoSourceChosen());
    const int error = ReadableFileError(path);
    if (error == ENOENT) throw JobError(texts::SourceMissing(path));
    if (error != 0) throw JobError(texts::SourceUnreadable(path, texts::ReasonOf(error)));
}

void CheckTargetFolder(const std::string& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw JobError(texts::TargetFolderMissing(folder));
}

void CheckKeyFile(const std::string& path) {
    if (path.empty()) throw JobError(texts::NoKeyFileChosen());
    const int error = ReadableFileError(path);
    if (error != 0) throw JobError(texts::KeyFileUnreadable(path, texts::ReasonOf(error)));
}

std::string ExplainFileFailure(const std::string& source, const std::string& target,
                               int direction) {
    try {
        CheckSourceFile(source);
    } catch (const JobError& e) {
        return e.what();
    }
    const std::string folder = FolderOf(target);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return texts::TargetFolderMissing(folder);
    if (const int error = NewFileError(folder); error != 0) {
        return texts::TargetUncreatable(target, texts::ReasonOf(error));
    }
    // The engine has removed the partial target by now, so the room it took is free again:
    // compare the free room with what the whole file needs rather than with zero.
    struct statvfs vfs {};
    struct stat st {};
    if (::statvfs(folder.c_str(), &vfs) == 0 && ::stat(source.c_str(), &st) == 0) {
        const double free = static_cast<double>(vfs.f_bavail) * static_cast<double>(vfs.f_frsize);
        const double needed = static_cast<double>(st.st_size) * (direction == 0 ? 1.17 : 1.0);
        if (free < needed) return texts::FileFailed(source, target, texts::ReasonOf(ENOSPC));
    }
    return texts::FileFailed(source, target, texts::ReasonOf(EIO));
}

}  // namespace velmora::frontend
