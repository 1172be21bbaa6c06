#pragma once

#include <array>
#include <cstdint>

namespace tools {

// The tools' table-driven byte generator. One module-wide state for the whole program, as the
// append window restarts it at every load and then lets it run on between appends.
class TongYongSuiJiState {
  public:
    static constexpr int32_t kCap = 900000000;
    static constexpr int32_t kSize = 1000;

    // (Re)starts: table[i] = i, table[1] = whole seconds since midnight, then 100000 draws.
    void SuiJiChuShi();
    // Draws the next byte.
    uint8_t SuiJiZiJie();
    // Mixes |v| into the running sum and draws one byte. Throws for INT32_MIN.
    uint8_t SuiJiJiaRu(int32_t v);

    int32_t sum() const { return sum_; }
    int32_t index() const { return index_; }
    int32_t counter() const { return counter_; }
    uint8_t last_byte() const { return last_byte_; }

  private:
    std::array<int32_t, kSize + 1> table_{};
    int32_t sum_ = 1;
    int32_t index_ = 0;
    int32_t counter_ = 0;
    uint8_t last_byte_ = 0;
};

// The program's one generator.
TongYongSuiJiState& TongYongSuiJi();

}  // namespace tools
