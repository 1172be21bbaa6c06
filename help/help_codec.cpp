#include "help_codec.h"

#include <memory>
#include <random>
#include <string>

#include "error.h"
#include "help_key.h"

namespace velmora::help {

void HelpCodec::BZChuShi() {
    sum_ = 1;
    index_ = 0;
    counter_ = 0;
    lastByte_ = 0;
    for (int32_t i = 0; i <= kSize; ++i) table_[static_cast<size_t>(i)] = i;
    for (size_t i = 0; i < kHelpStartWords.size(); ++i) table_[i] = kHelpStartWords[i];
    for (int n = 0; n < 10000; ++n) BZZiJie(kHelpMixWord);
}

uint8_t HelpCodec::BZZiJie(int32_t v) {
    int32_t counter = counter_ + 1;
    if (counter > kSize) counter = 0;
    // Table entries and the sum stay within 1..900000000, so with the codec's own inputs the
    // total stays below 1.81e9; only a caller's extreme `v` can leave the 32-bit range.
    int32_t s = 0;
    bool overflow = __builtin_add_overflow(table_[static_cast<size_t>(index_)], sum_, &s);
    for (int32_t term : {counter, static_cast<int32_t>(lastByte_), index_, v}) {
        overflow = __builtin_add_overflow(s, term, &s) || overflow;
    }
    if (overflow) throw common::Error("Help keystream overflow: mixed value " + std::to_string(v));
    while (s > kCap) s -= kCap;
    // A negative mixed value could pull the sum below 1, and the next draw would then read the
    // table at a negative index; refuse it before any state changes.
    if (s < 1) throw common::Error("Help keystream out of range: mixed value " + std::to_string(v));
    counter_ = counter;
    sum_ = s;
    table_[static_cast<size_t>(index_)] = s;
    index_ = s % kSize;
    lastByte_ = static_cast<uint8_t>(s % 256);
    return lastByte_;
}

int FillerLength(uint8_t h0, uint8_t h1) {
    const int n = h0 + h1;
    return n == 0 ? 1 : n;
}

std::vector<uint8_t> HelpCodec::BZFJmi(const std::vector<uint8_t>& file) {
    if (file.size() < 5) return {0};
    BZChuShi();
    uint8_t h[kHeaderLength];
    for (int k = 0; k < kHeaderLength; ++k) {
        h[k] = file[static_cast<size_t>(k)] ^ BZZiJie(kHelpMixWord);
        BZZiJie(h[k]);
    }
    const size_t payload = kHeaderLength + static_cast<size_t>(FillerLength(h[0], h[1]));
    std::vector<uint8_t> out;
    if (payload < file.size()) out.reserve(file.size() - payload);
    for (size_t pos = payload; pos < file.size(); ++pos) {
        out.push_back(file[pos] ^ BZZiJie(kHelpMixWord));
    }
    if (out.empty()) out.push_back(0);
    return out;
}

std::vector<uint8_t> HelpCodec::BZJmi(const std::vector<uint8_t>& bytes,
                                      const RandomByteSource& random) {
    BZChuShi();
    uint8_t h[kHeaderLength];
    for (auto& b : h) b = random();
    std::vector<uint8_t> out;
    const int filler = FillerLength(h[0], h[1]);
    out.reserve(kHeaderLength + static_cast<size_t>(filler) + bytes.size());
    for (uint8_t b : h) {
        out.push_back(b ^ BZZiJie(kHelpMixWord));
        BZZiJie(b);
    }
    // The filler repeats the third stored header byte; the decoder never reads it.
    out.insert(out.end(), static_cast<size_t>(filler), out[kHeaderLength - 1]);
    for (uint8_t b : bytes) out.push_back(b ^ BZZiJie(kHelpMixWord));
    return out;
}

RandomByteSource SystemRandomBytes() {
    auto device = std::make_shared<std::random_device>();
    return [device] { return static_cast<uint8_t>((*device)() & 0xFF); };
}

}  // namespace velmora::help
