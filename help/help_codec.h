#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::help {

// Where the encoder takes its three random header bytes from; tests script it.
using RandomByteSource = std::function<uint8_t()>;

// The help file's keystream and its scrambled layout: three header bytes, a filler whose length
// the first two header bytes give, then the text's bytes. Every decode and every encode starts
// the keystream afresh, so nothing carries over between calls.
class HelpCodec {
  public:
    static constexpr int32_t kCap = 900000000;
    static constexpr int32_t kSize = 1000;
    static constexpr int kHeaderLength = 3;

    // Restarts the keystream: table[i] = i, the four start words in entries 0 to 3, then 10000
    // draws mixing the mix word.
    void BZChuShi();
    // One draw with `v` mixed into the running sum. Throws Error when the sum leaves the signed
    // 32-bit range or drops below 1; the codec itself only mixes values 0 to 255 and the mix
    // word, which keep it in range.
    uint8_t BZZiJie(int32_t v);

    // Decodes a help file. A file of fewer than 5 bytes, or one that is all header and filler,
    // gives one zero byte.
    std::vector<uint8_t> BZFJmi(const std::vector<uint8_t>& file);
    // Encodes bytes in the help-file layout with a random header. The result is
    // 3 + filler + bytes long, the filler 1 to 510 bytes.
    std::vector<uint8_t> BZJmi(const std::vector<uint8_t>& bytes, const RandomByteSource& random);

    int32_t Sum() const { return sum_; }
    int32_t Index() const { return index_; }
    int32_t Counter() const { return counter_; }
    uint8_t LastByte() const { return lastByte_; }

  private:
    std::array<int32_t, kSize + 1> table_{};
    int32_t sum_ = 1;
    int32_t index_ = 0;
    int32_t counter_ = 0;
    uint8_t lastByte_ = 0;
};

// Filler length for the first two header bytes: their sum, or 1 when both are 0.
int FillerLength(uint8_t h0, uint8_t h1);

// Random header bytes from the system's random device.
RandomByteSource SystemRandomBytes();

}  // namespace velmora::help
