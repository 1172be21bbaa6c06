#pragma once

#include <cstdint>
#include <stdexcept>

namespace pellorin {

// The run-time overflow error of the bar's 32-bit arithmetic.
class OverflowError : public std::overflow_error {
  public:
    OverflowError() : std::overflow_error("Overflow") {}
};

// The arithmetic of the segmented bar, kept apart from the drawing so the block counts can be
// checked without a window. Every member is a signed 32-bit value in twips, as the control
// holds them; all are 0 until the first resize.
class JinDuTiaoState {
  public:
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t blockWidth = 0;
    std::int32_t gap = 0;
    std::int32_t drawnCount = 0;
    std::int32_t count = 0;

    // Clamps `i` in place and works out the block count. True when the surface must be cleared
    // and the `count` blocks drawn; false when the count is what is already on the surface.
    // Throws OverflowError when width × i leaves 32 bits.
    bool JDThua(std::int32_t& i);

    // Takes the new size (twips, halves rounded to even) and shows 60 %, as the control does
    // whenever it is placed or resized. Same result as JDThua.
    bool UserControl_Resize(double widthTwips, double heightTwips);
};

// Rounds to the nearest 32-bit integer, halves to the even neighbour; OverflowError when the
// value (or a NaN) does not fit.
std::int32_t roundHalfEven32(double value);

}  // namespace pellorin
