#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "error.h"

namespace velmora::common {

// Binary file access as the tools and Velmora's windows use it. Each call opens the file, moves
// one block and closes it again, so no handler leaves a file open. Positions are 1-based
// (position 1 is the first byte) and 64-bit. Only regular files are accepted: a folder, a
// device or a pipe is refused without waiting on it. Failures throw FileError.

// What went wrong, in terms a window can put into its own words; `what()` carries an English
// sentence for the command line.
class FileError : public Error {
  public:
    enum class Action { kOpen, kRead, kWrite, kShorten, kMeasure, kRemove };
    enum class Problem {
        kNoPath,      // no file was chosen
        kMissing,     // no such file (or a folder on the way is missing)
        kFolder,      // a folder where a file was expected
        kNotRegular,  // a device, a pipe or a socket
        kNoPermission,
        kReadOnly,     // the medium is mounted read-only
        kDiskFull,     // no space left, or a quota or size limit reached
        kBadPosition,  // a position below 1 or a negative length
        kOther,        // any other system failure; see SystemCode()
    };
    FileError(Action action, Problem problem, std::string path, int system_code = 0);

    Action action() const { return action_; }
    Problem problem() const { return problem_; }
    const std::string& path() const { return path_; }
    // errno of the failing call, 0 when the refusal is ours.
    int SystemCode() const { return system_code_; }

  private:
    Action action_;
    Problem problem_;
    std::string path_;
    int system_code_;
};

// How a block call opens its file. kReadWrite is the classic binary access: reading and
// writing, a missing file created empty. kReadOnly never creates a file and works on read-only
// media and on files without write permission: the readers use it.
enum class Access { kReadWrite, kReadOnly };

// Reads `count` bytes starting at `position`. Bytes past the end of the file are 0.
std::vector<uint8_t> ReadBlock(const std::string& path, int64_t position, int64_t count,
                               Access access = Access::kReadWrite);

// Reads the first bytes of an existing file, at most `limit` of them (the file's length when it
// is shorter), opened for reading only.
std::vector<uint8_t> ReadHead(const std::string& path, int64_t limit);

// The first bytes of a pipe, at most `limit`: read until its writer closes it or the limit is
// reached. It waits for a writer, so only callers that can be interrupted (the command line,
// with `--password-file <(...)`) use it. An interrupted wait is a FileError of kRead.
std::vector<uint8_t> ReadPipeHead(const std::string& path, int64_t limit);

// Writes `bytes` starting at `position`. Never shortens the file; a gap between the old end
// and `position` reads as zeros afterwards.
void WriteBlock(const std::string& path, int64_t position, const std::vector<uint8_t>& bytes);

// Length of an existing file in bytes; throws FileError when the path is not a file.
int64_t FileLength(const std::string& path);

// Deletes a file; a file that is already gone is no failure.
void RemoveFile(const std::string& path);

// One file held open for binary access (reading and writing, a missing file created) across
// several block writes, for an operation that must open and close its file once. Closed by the
// destructor.
class OpenBinaryFile {
  public:
    explicit OpenBinaryFile(const std::string& path);
    ~OpenBinaryFile();
    OpenBinaryFile(const OpenBinaryFile&) = delete;
    OpenBinaryFile& operator=(const OpenBinaryFile&) = delete;

    // The file's length now.
    int64_t Length() const;
    void Write(int64_t position, const std::vector<uint8_t>& bytes);
    // Cuts the file to `length` bytes (used to undo an unfinished append).
    void Shorten(int64_t length);
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

// A whole file read for reading only: a missing file is not created and a read-only one (an
// installed file, or a link to one) can be read. Files longer than the limit are not read, and
// a pipe or device of that name is refused without waiting on it.
struct WholeFile {
    enum class Status { kRead, kMissing, kUnreadable, kTooLarge };
    Status status = Status::kMissing;
    std::vector<uint8_t> bytes;
};
WholeFile ReadWholeFile(const std::string& path, int64_t limit);

}  // namespace velmora::common
