#include "file_segments.h"

#include <algorithm>
#include <vector>

#include "binary_file.h"
#include "error.h"
#include "timer.h"
#include "tong_yong_sui_ji.h"
#include "tool_numbers.h"

namespace tools {

using velmora::common::Error;

void WenJianTianJiaSuiJi(const std::string& path, int32_t& start, int32_t& end) {
    if (start < 1) start = 1;
    int32_t n = 0;
    if (__builtin_sub_overflow(end, start, &n) || __builtin_add_overflow(n, 1, &n)) {
        throw NumberRangeError(std::to_string(end));
    }
    if (n < 1) return;
    auto& gen = TongYongSuiJi();
    gen.SuiJiJiaRu(static_cast<int32_t>(velmora::common::Timer()));
    gen.SuiJiJiaRu(7834596);
    gen.SuiJiJiaRu(965646);
    constexpr int64_t kChunk = 1000000;
    velmora::common::OpenBinaryFile file(path);
    const int64_t old_length = file.Length();
    int64_t position = start;
    try {
        while (position <= end) {
            int64_t m = std::min<int64_t>(int64_t{end} - position + 1, kChunk);
            std::vector<uint8_t> buffer(static_cast<size_t>(m));
            for (auto& b : buffer) b = gen.SuiJiZiJie();
            file.Write(position, buffer);
            position += m;
        }
    } catch (const velmora::common::FileError& failure) {
        try {
            if (file.Length() > old_length) file.Shorten(old_length);
        } catch (const velmora::common::FileError&) {
            throw failure;
        }
        throw AppendUndoneError(failure);
    }
}

void CutToLength(const std::string& path, int64_t remaining) {
    int64_t length = velmora::common::FileLength(path);  // a missing file is not created
    if (remaining < 1 || remaining > length) throw Error("Cannot cut " + path + " to that length.");
    velmora::common::OpenBinaryFile(path).Shorten(remaining);
}

}  // namespace tools
