#pragma once

#include <cstdint>

#include "jmi.h"
#include "key_stream.h"

namespace velmora::engine {

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
            const std::int32_t t = feedback + state_;
            state_ += Jmi::FracDigits6(jmi_.ChaosStep(static_cast<double>(t)));
        }
        cycle_ = cycle_ >= 1000 ? 0 : cycle_ + 1;
        // Table word at most 9e8, state at most 9e8 + 999999 right after a reseed: the sum
        // stays below 1.81e9. As in the key stream, the table word is added last and index
        // and output byte come from the unreduced sum (9e8 is a multiple of 1000 and 256).
        const std::int32_t early = state_ + cycle_ + index_ + static_cast<std::int32_t>(lastOut_);
        const std::int32_t sum = table_[index_] + early;
        const std::int32_t v = ReduceSum(sum);
        state_ = v;
        table_[index_] = v;
        index_ = Mod1000(static_cast<std::uint32_t>(sum));
        lastOut_ = static_cast<std::uint8_t>(sum);
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
