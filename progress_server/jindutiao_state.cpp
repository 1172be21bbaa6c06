#include "jindutiao_state.h"

#include <cmath>
#include <limits>

namespace pellorin {

std::int32_t roundHalfEven32(double value) {
    if (!std::isfinite(value)) throw OverflowError();
    double floor = std::floor(value);
    double diff = value - floor;
    double rounded = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        throw OverflowError();
    }
    return static_cast<std::int32_t>(rounded);
}

bool JinDuTiaoState::JDThua(std::int32_t& i) {
    if (i > 100) i = 100;
    if (i < 0) i = 0;
    std::int64_t product = static_cast<std::int64_t>(width) * i;
    if (product < std::numeric_limits<std::int32_t>::min() ||
        product > std::numeric_limits<std::int32_t>::max()) {
        throw OverflowError();
    }
    double p = static_cast<double>(product);
    std::int32_t n = roundHalfEven32(p / 100.0 / (static_cast<double>(gap) + blockWidth));
    count = n;
    if (n == drawnCount) return false;
    drawnCount = n;
    return true;
}

bool JinDuTiaoState::UserControl_Resize(double widthTwips, double heightTwips) {
    width = roundHalfEven32(widthTwips);
    height = roundHalfEven32(heightTwips);
    blockWidth = 80;
    gap = 40;
    std::int32_t sixty = 60;
    return JDThua(sixty);
}

}  // namespace pellorin
