#include "file_segments.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "binary_file.h"
#include "error.h"
#include "numbers.h"
#include "timer.h"
#include "tong_yong_sui_ji.h"

namespace tools {
namespace {

namespace fs = std::filesystem;
using velmora::common::FileLength;
using velmora::common::ReadBlock;

class FileSegmentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (fs::temp_directory_path() /
                 (std::string("velmora-seg-") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                    .string();
        std::vector<uint8_t> ten{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(ten.data()), 10);
        TongYongSuiJi().SuiJiChuShi();
    }
    void TearDown() override { fs::remove(path_); }
    std::string path_;
};

TEST_F(FileSegmentsTest, AppendsInChunksKeepingTheHead) {
    int32_t start = 11, end = 2500010;
    WenJianTianJiaSuiJi(path_, start, end);
    EXPECT_EQ(FileLength(path_), 2500010);
    EXPECT_EQ(ReadBlock(path_, 1, 10), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(FileSegmentsTest, HalfLengthRoundsToTheEvenEnd) {
    // The window's rule: end = round_half_even(length + 2.5).
    for (int64_t length : {10, 11}) {
        fs::resize_file(path_, static_cast<uintmax_t>(length));
        int32_t start = static_cast<int32_t>(length + 1);
        int32_t end = velmora::common::RoundToInt32(static_cast<double>(length) + 2.5);
        WenJianTianJiaSuiJi(path_, start, end);
        EXPECT_EQ(FileLength(path_), length + (length % 2 == 0 ? 2 : 3)) << length;
    }
}

TEST_F(FileSegmentsTest, EmptySegmentLeavesTheFileAndStartIsRaisedToOne) {
    int32_t start = 11, end = 10;
    WenJianTianJiaSuiJi(path_, start, end);
    EXPECT_EQ(FileLength(path_), 10);
    int32_t low = -5, none = -6;
    WenJianTianJiaSuiJi(path_, low, none);
    EXPECT_EQ(low, 1);
}

TEST_F(FileSegmentsTest, TwoAppendsInTheSameSecondDiffer) {
    velmora::common::SetTimerSource([] { return 5.0f; });
    int32_t s1 = 11, e1 = 30, s2 = 31, e2 = 50;
    WenJianTianJiaSuiJi(path_, s1, e1);
    WenJianTianJiaSuiJi(path_, s2, e2);
    velmora::common::SetTimerSource({});
    EXPECT_NE(ReadBlock(path_, 11, 20), ReadBlock(path_, 31, 20));
}

TEST_F(FileSegmentsTest, CutKeepsTheFirstBytesAndRefusesNonsense) {
    CutToLength(path_, 10);
    EXPECT_EQ(FileLength(path_), 10);
    CutToLength(path_, 4);
    EXPECT_EQ(ReadBlock(path_, 1, 5), (std::vector<uint8_t>{1, 2, 3, 4, 0}));
    EXPECT_EQ(FileLength(path_), 4);
    EXPECT_THROW(CutToLength(path_, 0), velmora::common::Error);
    EXPECT_THROW(CutToLength(path_, 5), velmora::common::Error);
    EXPECT_EQ(FileLength(path_), 4);
}

}  // namespace
}  // namespace tools
