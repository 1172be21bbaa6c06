#include "terminal_progress.h"

#include <algorithm>

#include "interrupt.h"
#include "utf16le.h"

namespace velmora::cli {

std::int32_t TerminalProgress::CFhz() {
    if (Interrupted()) cancelSeen_ = true;
    return cancelSeen_ ? 0 : 1;
}

void TerminalProgress::Cwjm(std::u16string& i, std::u16string&) {
    const std::string path = common::Utf16ToUtf8(i);
    name_ = path.substr(path.find_last_of('/') + 1);
    Draw();
}

void TerminalProgress::CpgbarV(std::int32_t& i) {
    i = std::clamp(i, 0, 100);
    if (i == percent_) return;
    percent_ = i;
    Draw();
}

void TerminalProgress::CFmunload() {
    if (draw_ && percent_ >= 0) std::fputc('\n', out_);
    percent_ = -1;
}

void TerminalProgress::Draw() {
    if (!draw_) return;
    constexpr int kWidth = 30;
    const int percent = std::max(percent_, 0);
    const int filled = percent * kWidth / 100;
    std::fprintf(out_, "\r[%s%s] %3d%%  %s\x1b[K", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), percent, name_.c_str());
    std::fflush(out_);
    if (percent_ < 0) percent_ = 0;
}

}  // namespace velmora::cli
