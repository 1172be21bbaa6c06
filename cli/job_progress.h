#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace velmora::cli {

// The one progress bar of a job, shared by all its workers: bytes done of the total, files
// done of the total, the rate and the time left, redrawn at most ten times a second on
// standard error. Workers report from their own threads.
class JobProgress {
  public:
    // Draws only when `draw` is set (standard error is a terminal and -q was not given).
    JobProgress(std::FILE* out, bool draw, std::int64_t totalBytes, std::int64_t totalFiles);

    void AddBytes(std::int64_t bytes);
    void FileDone();
    // Ends the bar's line, once the job is over.
    void Finish();
    // Writes a line (ending in "\n") to `out` above the bar, which is drawn again below it.
    void Print(std::FILE* out, const std::string& line);

    std::int64_t BytesDone() const { return bytes_.load(); }
    std::int64_t FilesDone() const { return files_.load(); }

    // The bar's text for the given state; `seconds` is the time since the job started.
    static std::string Line(std::int64_t bytes, std::int64_t totalBytes, std::int64_t files,
                            std::int64_t totalFiles, double seconds);

  private:
    void Draw(bool force);
    void DrawLocked(std::chrono::steady_clock::time_point now);

    std::FILE* out_;
    bool draw_;
    std::int64_t totalBytes_;
    std::int64_t totalFiles_;
    std::atomic<std::int64_t> bytes_{0};
    std::atomic<std::int64_t> files_{0};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex drawing_;
    std::chrono::steady_clock::time_point lastDraw_{};
    bool drawn_ = false;
};

}  // namespace velmora::cli
