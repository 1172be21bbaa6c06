#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>

namespace velmora::test {

// A noise source for the encoder that plays a script of values, then a fixed pseudo-random
// sequence, so tests can force run lengths, filler lengths, block ends and tails.
class ScriptedNoise {
  public:
    ScriptedNoise& Then(std::initializer_list<int> values) {
        for (int v : values) script_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    std::uint8_t operator()() {
        if (!script_.empty()) {
            const std::uint8_t v = script_.front();
            script_.pop_front();
            return v;
        }
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state_ >> 16);
    }
    bool Exhausted() const { return script_.empty(); }

  private:
    std::deque<std::uint8_t> script_;
    std::uint32_t state_ = 12345;
};

}  // namespace velmora::test
