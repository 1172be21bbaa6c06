#pragma once

#include <array>
#include <cstdint>

namespace velmora::engine {

// x mod 1000 for any 32-bit x with two multiplications and no division: the low 64 bits
// of x * ceil(2^64 / 1000) hold the fraction x / 1000, and its product with 1000 carries
// the remainder into the high word (exact for every 32-bit x).
inline std::int32_t Mod1000(std::uint32_t x) {
    constexpr std::uint64_t kInverse = UINT64_MAX / 1000 + 1;
    const std::uint64_t fraction = kInverse * x;
    __extension__ using Wide = unsigned __int128;
    return static_cast<std::int32_t>((static_cast<Wide>(fraction) * 1000u) >> 64);
}

// Brings a non-negative generator sum that fits 32 bits back to 0..9e8 (9e8 itself may stay)
// with two subtractions. The sums of both generators exceed 9e8 about every other step, so a
// branch would be mispredicted half the time; the signs of 9e8 - v and 1.8e9 - v are the
// masks instead (written as a select, compilers turn it back into a branch). Both masks come
// from v itself, not the first from the second, so that a mix step, which reduces twice in a
// row before its sum, does not wait for four dependent reductions.
inline std::int32_t ReduceSum(std::int32_t v) {
    constexpr std::int32_t kModulus = 900000000;
    const std::int32_t once = ((kModulus - v) >> 31) & kModulus;
    const std::int32_t twice = ((2 * kModulus - v) >> 31) & kModulus;
    return v - once - twice;
}

// The keyed byte generator's working state (everything `ResetEngine` brings back to its
// initial values, apart from the codec's feedback and running sums).
struct KeyStream {
    std::array<std::int32_t, 1001> StreamTable{};
    std::int32_t StreamState = 1;
    std::int32_t StreamIndex = 0;
    std::int32_t StreamKeyPos = 0;
    std::int32_t StreamCycle = 0;
    std::uint8_t StreamLastOut = 0;

    void Reset() {
        for (std::int32_t i = 0; i <= 1000; ++i) StreamTable[i] = i;
        StreamState = 1;
        StreamIndex = 0;
        StreamKeyPos = 0;
        StreamCycle = 0;
        StreamLastOut = 0;
    }
};

// The generator's scalar words held in locals while a hot loop runs. Byte stores into an
// output buffer may alias anything, so state kept in members would be reloaded from memory
// after every byte; a cursor keeps it in registers and writes it back once with `Save`.
//
// Every step is one link of a serial chain (the next table index comes from this step's
// sum), so the step is kept branch-free and free of bounds checks.
class KeyStreamCursor {
    static_assert(900000000 % 1000 == 0 && 900000000 % 256 == 0);

  public:
    static constexpr std::int32_t kModulus = 900000000;

    KeyStreamCursor(KeyStream& stream, const std::int32_t* key, std::int32_t keyLast)
        : stream_(stream),
          table_(stream.StreamTable.data()),
          key_(key),
          keyLast_(keyLast),
          state_(stream.StreamState),
          index_(stream.StreamIndex),
          keyPos_(stream.StreamKeyPos),
          cycle_(stream.StreamCycle),
          lastOut_(stream.StreamLastOut) {}

    // One key-stream byte; `feedback` is the last ciphertext byte.
    inline std::uint8_t Next(std::uint8_t feedback) {
        keyPos_ = keyPos_ >= keyLast_ ? 0 : keyPos_ + 1;
        cycle_ = cycle_ >= 1000 ? 0 : cycle_ + 1;
        // At most 9e8 + 9e8 + 1000 + 1e7 + 999 + 255 + 255 < 1.82e9: fits 32 bits. Every term
        // but the table word is ready early, so they are added first and the table word last:
        // one addition between the table load and the next index. The state word comes last
        // of the early terms, as after a mix it is the latest of them.
        const std::int32_t early = cycle_ + key_[keyPos_] + index_ +
                                   static_cast<std::int32_t>(lastOut_) + feedback + state_;
        const std::int32_t sum = table_[index_] + early;
        // The modulus 900000000 is a multiple of 1000 and of 256, so the next index and the
        // output byte are taken from the sum before it is reduced. That keeps the reduction
        // off the chain that runs from one step's index to the next step's table load.
        const auto unsignedSum = static_cast<std::uint32_t>(sum);
        const std::int32_t nextIndex = Mod1000(unsignedSum);
        lastOut_ = static_cast<std::uint8_t>(unsignedSum);
        const std::int32_t v = ReduceSum(sum);
        table_[index_] = v;
        state_ = v;
        index_ = nextIndex;
        return lastOut_;
    }

    // Folds a value into the state word, then draws one byte and discards it.
    inline void Mix(std::int32_t value, std::uint8_t feedback) {
        if (value >= 0 && value <= kModulus) {
            // The codec's values: a byte or a running sum, never above 9e8.
            state_ = ReduceSum(state_ + value);
        } else {
            std::int64_t s = static_cast<std::int64_t>(state_) + value;
            while (s > kModulus) s -= kModulus;
            state_ = static_cast<std::int32_t>(s);
        }
        Next(feedback);
    }

    std::int32_t State() const { return state_; }

    void Save() {
        stream_.StreamState = state_;
        stream_.StreamIndex = index_;
        stream_.StreamKeyPos = keyPos_;
        stream_.StreamCycle = cycle_;
        stream_.StreamLastOut = lastOut_;
    }

  private:
    KeyStream& stream_;
    std::int32_t* table_;
    const std::int32_t* key_;
    std::int32_t keyLast_;
    std::int32_t state_;
    std::int32_t index_;
    std::int32_t keyPos_;
    std::int32_t cycle_;
    std::uint8_t lastOut_;
};

}  // namespace velmora::engine
