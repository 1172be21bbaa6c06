#include "tong_yong_sui_ji.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "binary_file.h"
#include "file_segments.h"
#include "timer.h"

namespace tools {
namespace {

class MidnightTimer : public ::testing::Test {
  protected:
    void SetUp() override {
        velmora::common::SetTimerSource([] { return 0.0f; });
    }
    void TearDown() override { velmora::common::SetTimerSource({}); }
};

// Restarted twice in one process (a second load of the append window), the generator must
// forget everything of the first run, the draw counter included.
TEST_F(MidnightTimer, StartUpAndFirstAppendMatchTheReferenceVectorAfterEveryRestart) {
    auto path = (std::filesystem::temp_directory_path() / "velmora-tysj-vector").string();
    auto& gen = TongYongSuiJi();
    for (int load = 1; load <= 2; ++load) {
        SCOPED_TRACE(load);
        gen.SuiJiChuShi();
        EXPECT_EQ(gen.sum(), 201761732);
        EXPECT_EQ(gen.index(), 732);
        EXPECT_EQ(gen.counter(), 901);
        EXPECT_EQ(gen.last_byte(), 196);

        std::filesystem::remove(path);
        int32_t start = 1, end = 8;
        WenJianTianJiaSuiJi(path, start, end);
        EXPECT_EQ(velmora::common::ReadBlock(path, 1, 8),
                  (std::vector<uint8_t>{169, 184, 251, 162, 252, 220, 49, 206}));
        for (int i = 0; i < 1234; ++i) gen.SuiJiZiJie();  // the window runs on before reloading
    }
    std::filesystem::remove(path);
}

TEST_F(MidnightTimer, MixingTheSmallestIntegerIsAnErrorNotAWrap) {
    TongYongSuiJi().SuiJiChuShi();
    EXPECT_ANY_THROW(TongYongSuiJi().SuiJiJiaRu(INT32_MIN));
}

}  // namespace
}  // namespace tools
