#include "jindutiao_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace pellorin {
namespace {

struct Step {
    std::int32_t in;
    std::int32_t writtenBack;
    std::int32_t blocks;
    bool redrawn;
};

struct BarCase {
    const char* name;
    std::int32_t width;
    bool loadReset;  // the progress window sets 0 right after placing the bar
    std::vector<Step> steps;
};

void PrintTo(const BarCase& c, std::ostream* os) {
    *os << c.name;
}

// Each case places a bar (which shows 60 %), optionally resets it to 0 as the window's load
// does, then sets the percentages in order.
class JinDuTiaoStateTest : public testing::TestWithParam<BarCase> {};

TEST_P(JinDuTiaoStateTest, CountsClampsAndRedrawsOnlyOnChange) {
    const BarCase& c = GetParam();
    JinDuTiaoState bar;
    bar.UserControl_Resize(c.width, 375);
    if (c.loadReset) {
        std::int32_t zero = 0;
        EXPECT_TRUE(bar.JDThua(zero));
    }
    for (std::size_t n = 0; n < c.steps.size(); ++n) {
        const Step& s = c.steps[n];
        std::int32_t value = s.in;
        bool redrawn = bar.JDThua(value);
        EXPECT_EQ(value, s.writtenBack) << "step " << n;
        EXPECT_EQ(bar.count, s.blocks) << "step " << n;
        EXPECT_EQ(bar.drawnCount, s.blocks) << "step " << n;
        EXPECT_EQ(redrawn, s.redrawn) << "step " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bars, JinDuTiaoStateTest,
    testing::Values(
        BarCase{"nothing_below_two_percent",
                4575,
                true,
                {{0, 0, 0, false}, {-7, 0, 0, false}, {1, 1, 0, false}, {2, 2, 1, true}}},
        BarCase{"fifty_twice_redraws_once", 4575, true, {{50, 50, 19, true}, {50, 50, 19, false}}},
        BarCase{"full_and_clamped_high",
                4575,
                true,
                {{100, 100, 38, true}, {250, 100, 38, false}, {-7, 0, 0, true}}},
        BarCase{"going_down_redraws_smaller", 4575, true, {{90, 90, 34, true}, {80, 80, 30, true}}},
        BarCase{"placement_shows_sixty", 4575, false, {{60, 60, 23, false}, {2, 2, 1, true}}},
        BarCase{"narrow_halves_to_even",
                300,
                false,
                {{60, 60, 2, false}, {100, 100, 2, false}, {50, 50, 1, true}}}),
    [](const testing::TestParamInfo<BarCase>& info) { return std::string(info.param.name); });

TEST(JinDuTiaoState, PlacementDrawsSixtyPercentOnce) {
    JinDuTiaoState bar;
    EXPECT_TRUE(bar.UserControl_Resize(4575, 375));
    EXPECT_EQ(bar.count, 23);
    EXPECT_EQ(bar.width, 4575);
    EXPECT_EQ(bar.blockWidth, 80);
    EXPECT_EQ(bar.gap, 40);
    // Same size again: the count is unchanged, so nothing is drawn.
    EXPECT_FALSE(bar.UserControl_Resize(4575, 375));
}

TEST(JinDuTiaoState, WidthTimesPercentBeyondThirtyTwoBitsIsAnOverflow) {
    JinDuTiaoState bar;
    bar.UserControl_Resize(25'000'000, 375);
    std::int32_t ok = 85;  // 2.125e9 still fits
    EXPECT_NO_THROW(bar.JDThua(ok));
    const std::int32_t countBefore = bar.count;
    const std::int32_t drawnBefore = bar.drawnCount;
    std::int32_t tooMuch = 86;  // 2.15e9 does not
    EXPECT_THROW(bar.JDThua(tooMuch), OverflowError);
    EXPECT_EQ(tooMuch, 86);
    EXPECT_EQ(bar.count, countBefore) << "a failed call must leave the bar as it was";
    EXPECT_EQ(bar.drawnCount, drawnBefore);
}

// 2147483647 is prime, so the product reaches it exactly only as 2147483647 x 1.
TEST(JinDuTiaoState, ProductOfExactlyTheLargestIntegerStillFits) {
    JinDuTiaoState bar;
    bar.width = 2147483647;
    bar.blockWidth = 80;
    bar.gap = 40;
    std::int32_t one = 1;
    ASSERT_NO_THROW(bar.JDThua(one));
    EXPECT_EQ(bar.count, 178957);  // 2147483647 / 100 / 120 = 178956.97
    std::int32_t two = 2;
    EXPECT_THROW(bar.JDThua(two), OverflowError);
}

TEST(RoundHalfEven32, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        std::int32_t out;
    };
    for (Case c : {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{-0.5, 0}, Case{-1.5, -2},
                   Case{0.7625, 1}, Case{38.125, 38}, Case{19.0625, 19},
                   Case{2147483647.4, std::numeric_limits<std::int32_t>::max()}}) {
        EXPECT_EQ(roundHalfEven32(c.in), c.out) << c.in;
    }
    EXPECT_THROW(roundHalfEven32(2147483647.5), OverflowError);
    EXPECT_THROW(roundHalfEven32(std::numeric_limits<double>::quiet_NaN()), OverflowError);
}

}  // namespace
}  // namespace pellorin
