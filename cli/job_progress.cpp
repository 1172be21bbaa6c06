#include "job_progress.h"

#include <algorithm>
#include <cmath>

namespace velmora::cli {

namespace {

std::string Bytes(std::int64_t bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

std::string Duration(double seconds) {
    const auto s = static_cast<std::int64_t>(std::llround(seconds));
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                      static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(s / 60),
                      static_cast<long long>(s % 60));
    }
    return text;
}

}  // namespace

JobProgress::JobProgress(std::FILE* out, bool draw, std::int64_t totalBytes,
                         std::int64_t totalFiles)
    : out_(out), draw_(draw && out != nullptr), totalBytes_(totalBytes), totalFiles_(totalFiles) {}

void JobProgress::AddBytes(std::int64_t bytes) {
    if (bytes == 0) return;
    bytes_ += bytes;
    Draw(false);
}

void JobProgress::FileDone() {
    ++files_;
    Draw(files_.load() == totalFiles_);
}

void JobProgress::Finish() {
    if (!draw_) return;
    std::lock_guard lock(drawing_);
    if (drawn_) std::fputc('\n', out_);
    drawn_ = false;
    std::fflush(out_);
}

std::string JobProgress::Line(std::int64_t bytes, std::int64_t totalBytes, std::int64_t files,
                              std::int64_t totalFiles, double seconds) {
    const double share =
        totalBytes > 0 ? std::clamp(static_cast<double>(bytes) / totalBytes, 0.0, 1.0) : 1.0;
    constexpr int kWidth = 24;
    const int filled = static_cast<int>(share * kWidth);
    std::string line = "[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kWidth - filled), ' ');
    char counts[64];
    std::snprintf(counts, sizeof counts, "] %3d%%  ", static_cast<int>(share * 100));
    line += counts;
    line += Bytes(bytes);
    line += " of ";
    line += Bytes(totalBytes);
    std::snprintf(counts, sizeof counts, "  %lld of %lld files", static_cast<long long>(files),
                  static_cast<long long>(totalFiles));
    line += counts;
    // Rate and time left need a moment of history to mean anything.
    if (seconds >= 0.5 && bytes > 0) {
        const double rate = static_cast<double>(bytes) / seconds;
        line += "  ";
        line += Bytes(static_cast<std::int64_t>(rate));
        line += "/s";
        if (totalBytes > bytes) {
            line += "  ";
            line += Duration(static_cast<double>(totalBytes - bytes) / rate);
            line += " left";
        }
    }
    return line;
}

void JobProgress::Print(std::FILE* out, const std::string& line) {
    if (!draw_) {
        std::fputs(line.c_str(), out);
        std::fflush(out);
        return;
    }
    std::lock_guard lock(drawing_);
    if (drawn_) {
        std::fputs("\r\x1b[K", out_);
        std::fflush(out_);
    }
    std::fputs(line.c_str(), out);
    std::fflush(out);
    if (drawn_) DrawLocked(std::chrono::steady_clock::now());
}

void JobProgress::Draw(bool force) {
    if (!draw_) return;
    const auto now = std::chrono::steady_clock::now();
    // A worker that finds the bar being drawn goes on with its file.
    std::unique_lock lock(drawing_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    DrawLocked(now);
}

void JobProgress::DrawLocked(std::chrono::steady_clock::time_point now) {
    lastDraw_ = now;
    drawn_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string line = Line(bytes_.load(), totalBytes_, files_.load(), totalFiles_, seconds);
    std::fprintf(out_, "\r%s\x1b[K", line.c_str());
    std::fflush(out_);
}

}  // namespace velmora::cli
