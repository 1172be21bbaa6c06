#pragma once

#include <cstdint>

#include "jmi.h"
#include "key_stream.h"

namespace velmora::engine {

// "While v > 900000000 subtract 900000000" for any v. Below 0 it cannot get by the generator's
// own sums; the remainder keeps even hand-set words inside the range, and so the index.
inline std::int32_t ReduceNoise(std::int64_t v) {
    constexpr std::int64_t m = Jmi::kStreamModulus;
    if (v > m) return static_cast<std::int32_t>((v - 1) % m + 1);
    if (v < 0) return static_cast<std::int32_t>((v % m + m) % m);
    return static_cast<std::int32_t>(v);
}

// The noise generator's scalar words held in locals while the encoder draws from it, for the
// same reason as `KeyStreamCursor`. The noise chain is independent of the key-stream chain
// between reseeds, so with both kept in registers the processor runs the two side by side.
//
// While a cursor is open it owns the noise words; `Save` writes them back. `ChaosStep` may be
// called meanwhile (it touches only the chaos generator).
class NoiseCursor {
  public:
    // The encoder may spread its chaos steps over data runs (see `Jmi::EncodeWith`).
    static constexpr bool kStagesChaos = true;

    explicit NoiseCursor(Jmi& jmi)
        : jmi_(jmi),
          table_(jmi.NoiseTable.data()),
          state_(jmi.NoiseState),
          index_(jmi.NoiseIndex),
          cycle_(jmi.NoiseCycle),
          reseedCount_(jmi.NoiseReseedCount),
          lastOut_(jmi.NoiseLastOut) {}

    // One noise byte; `feedback` is the last ciphertext byte, which seeds every 41st call.
    // `beforeReseed` runs right before a reseed's chaos step (the encoder's deferred step).
    inline std::uint8_t Next(std::uint8_t feedback) {
        return Next(feedback, [] {});
    }
    template <class BeforeReseed>
    inline std::uint8_t Next(std::uint8_t feedback, BeforeReseed&& beforeReseed) {
        if (++reseedCount_ > 40) [[unlikely]] {
            beforeReseed();
            reseedCount_ = 0;
            const std::int64_t t = std::int64_t{feedback} + state_;
            state_ += Jmi::FracDigits6(jmi_.ChaosStep(static_cast<double>(t)));
        }
        // Unsigned, so that a counter set below 0 by hand starts again at 0 as well.
        cycle_ = static_cast<std::uint32_t>(cycle_) >= 1000u ? 0 : cycle_ + 1;
        // Table word at most 9e8, state at most 9e8 + 999999 right after a reseed: the sum
        // stays below 1.81e9. As in the key stream, the table word is added last and index
        // and output byte come from the unreduced sum (9e8 is a multiple of 1000 and 256).
        // Words set by hand may give any sum: 64 bits hold it, and the slow way reduces it.
        // The state word comes last of the early terms: right after a reseed it is the latest.
        const std::int64_t early = std::int64_t{cycle_} + index_ + lastOut_ + state_;
        const std::int64_t sum = table_[index_] + early;
        if (static_cast<std::uint64_t>(sum) <= 0x7FFFFFFFu) [[likely]] {
            const auto unreduced = static_cast<std::int32_t>(sum);
            const std::int32_t v = ReduceSum(unreduced);
            state_ = v;
            table_[index_] = v;
            index_ = static_cast<std::int32_t>(Mod1000(static_cast<std::uint32_t>(unreduced)));
            lastOut_ = static_cast<std::uint8_t>(unreduced);
        } else {
            const std::int32_t v = ReduceNoise(sum);
            state_ = v;
            table_[index_] = v;
            index_ = v % 1000;
            lastOut_ = static_cast<std::uint8_t>(v % 256);
        }
        return lastOut_;
    }

    void Save() {
        jmi_.NoiseState = state_;
        jmi_.NoiseIndex = index_;
        jmi_.NoiseCycle = cycle_;
        jmi_.NoiseReseedCount = reseedCount_;
        jmi_.NoiseLastOut = lastOut_;
    }

  private:
    Jmi& jmi_;
    std::int32_t* table_;
    std::int32_t state_;
    std::int32_t index_;
    std::int32_t cycle_;
    std::int32_t reseedCount_;
    std::uint8_t lastOut_;
};

}  // namespace velmora::engine
