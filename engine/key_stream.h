#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace velmora::engine {

// The remainder modulo 1000 as a fraction: the low 64 bits of x * ceil(2^64 / 1000) hold
// x / 1000 mod 1 (closely enough that, for every 32-bit x, its product with 1000 carries
// exactly x mod 1000 into the high word). The multiplication is linear modulo 2^64, so the
// fraction of a sum is the sum of the fractions of its terms.
inline constexpr std::uint64_t kFraction1000 = UINT64_MAX / 1000 + 1;

inline std::uint64_t Fraction1000(std::uint32_t x) {
    return kFraction1000 * x;
}

// The remainder held by a fraction, handed on as the 64-bit word the multiplication leaves
// so that a table load can use it as it stands (a 32-bit index would first be extended).
inline std::uint64_t RemainderOf1000(std::uint64_t fraction) {
    __extension__ using Wide = unsigned __int128;
    return static_cast<std::uint64_t>((static_cast<Wide>(fraction) * 1000u) >> 64);
}

// x mod 1000 for any 32-bit x with two multiplications and no division.
inline std::uint64_t Mod1000(std::uint32_t x) {
    return RemainderOf1000(Fraction1000(x));
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
    // StreamFractions[i] is Fraction1000(StreamTable[i] + i), kept beside the table by
    // `Reset` and the cursor: the step's next index comes from it (see `KeyStreamCursor`).
    std::array<std::uint64_t, 1001> StreamFractions{};
    std::int32_t StreamState = 1;
    std::int32_t StreamIndex = 0;
    std::int32_t StreamKeyPos = 0;
    std::int32_t StreamCycle = 0;
    std::uint8_t StreamLastOut = 0;

    void Reset() {
        for (std::int32_t i = 0; i <= 1000; ++i) {
            StreamTable[i] = i;
            StreamFractions[i] = Fraction1000(static_cast<std::uint32_t>(i + i));
        }
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
          fractions_(stream.StreamFractions.data()),
          key_(key),
          keyLast_(keyLast),
          state_(stream.StreamState),
          index_(static_cast<std::uint32_t>(stream.StreamIndex)),
          keyPos_(stream.StreamKeyPos),
          cycle_(stream.StreamCycle),
          lastOut_(stream.StreamLastOut) {}

    // One key-stream byte; `feedback` is the last ciphertext byte.
    inline std::uint8_t Next(std::uint8_t feedback) {
        keyPos_ = keyPos_ >= keyLast_ ? 0 : keyPos_ + 1;
        cycle_ = cycle_ >= 1000 ? 0 : cycle_ + 1;
        // The sum is table word + index + the rest, at most 9e8 + 999 + 9e8 + 1000 + 1e7 + 255
        // + 255 < 1.82e9: it fits 32 bits. The rest is ready before the table word arrives.
        const std::int32_t rest =
            cycle_ + key_[keyPos_] + static_cast<std::int32_t>(lastOut_) + feedback + state_;
        const std::int32_t sum = table_[index_] + static_cast<std::int32_t>(index_) + rest;
        // The next index is the sum mod 1000 (9e8 is a multiple of 1000 and of 256, so index
        // and output byte come from the sum before it is reduced). Taken from the sum, it
        // would wait for the table load, an addition and two multiplications. Taken from the
        // fractions, it waits for the load of this slot's fraction, which already holds
        // table word + index, one addition and one multiplication: the fraction of the rest
        // is computed while the load runs.
        const std::uint64_t fraction =
            fractions_[index_] + Fraction1000(static_cast<std::uint32_t>(rest));
        const std::uint64_t nextIndex = RemainderOf1000(fraction);
        lastOut_ = static_cast<std::uint8_t>(sum);
        const std::int32_t v = ReduceSum(sum);
        table_[index_] = v;
        fractions_[index_] =
            Fraction1000(static_cast<std::uint32_t>(v) + static_cast<std::uint32_t>(index_));
        state_ = v;
        index_ = nextIndex;
        return lastOut_;
    }

    // Folds a value into the state word, then draws one byte and discards it. The value is
    // never negative (the step relies on every word of its sum being at least 0).
    inline void Mix(std::int32_t value, std::uint8_t feedback) {
        assert(value >= 0);
        if (value <= kModulus) {
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
        stream_.StreamIndex = static_cast<std::int32_t>(index_);
        stream_.StreamKeyPos = keyPos_;
        stream_.StreamCycle = cycle_;
        stream_.StreamLastOut = lastOut_;
    }

  private:
    KeyStream& stream_;
    std::int32_t* table_;
    std::uint64_t* fractions_;
    const std::int32_t* key_;
    std::int32_t keyLast_;
    std::int32_t state_;
    std::uint64_t index_;  // 0..999, kept in a full register word (see `RemainderOf1000`)
    std::int32_t keyPos_;
    std::int32_t cycle_;
    std::uint8_t lastOut_;
};

}  // namespace velmora::engine
