#include "tong_yong_sui_ji.h"

#include <cstdlib>

#include "error.h"
#include "timer.h"

namespace tools {

namespace {

int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        throw velmora::common::Error("Overflow in the generator.");
    return r;
}

int32_t WholeSecondsSinceMidnight() {
    return static_cast<int32_t>(velmora::common::Timer());
}

}  // namespace

void TongYongSuiJiState::SuiJiChuShi() {
    sum_ = 1;
    index_ = 0;
    counter_ = 0;
    last_byte_ = 0;
    for (int32_t i = 0; i <= kSize; ++i) table_[static_cast<size_t>(i)] = i;
    table_[1] = WholeSecondsSinceMidnight();
    for (int i = 0; i < 100000; ++i) SuiJiZiJie();
}

uint8_t TongYongSuiJiState::SuiJiZiJie() {
    if (++counter_ > kSize) counter_ = 0;
    int32_t s = CheckedAdd(table_[static_cast<size_t>(index_)], sum_);
    s = CheckedAdd(s, counter_);
    s = CheckedAdd(s, last_byte_);
    s = CheckedAdd(s, index_);
    while (s > kCap) s -= kCap;
    sum_ = s;
    table_[static_cast<size_t>(index_)] = s;
    index_ = s % kSize;
    last_byte_ = static_cast<uint8_t>(s % 256);
    return last_byte_;
}

uint8_t TongYongSuiJiState::SuiJiJiaRu(int32_t v) {
    if (v == INT32_MIN) throw velmora::common::Error("Overflow in the generator.");
    int32_t s = CheckedAdd(sum_, std::abs(v));
    while (s > kCap) s -= kCap;
    sum_ = s;
    return SuiJiZiJie();
}

TongYongSuiJiState& TongYongSuiJi() {
    static TongYongSuiJiState state;
    return state;
}

}  // namespace tools
