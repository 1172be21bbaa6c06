#include "file_segments.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

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
    // A start of 0 is raised and the segment written from the first byte on.
    int32_t zero = 0, three = 3;
    WenJianTianJiaSuiJi(path_, zero, three);
    EXPECT_EQ(zero, 1);
    EXPECT_EQ(FileLength(path_), 10);
    EXPECT_NE(ReadBlock(path_, 1, 3), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadBlock(path_, 4, 7), (std::vector<uint8_t>{4, 5, 6, 7, 8, 9, 10}));
}

// The generator runs on between appends: the second segment is what the same generator gives
// after the first append's mixing and draws, not a repeat of the first.
TEST_F(FileSegmentsTest, TwoAppendsInTheSameSecondDiffer) {
    velmora::common::SetTimerSource([] { return 5.0f; });
    TongYongSuiJi().SuiJiChuShi();
    TongYongSuiJiState expected;
    expected.SuiJiChuShi();
    int32_t s1 = 11, e1 = 30, s2 = 31, e2 = 50;
    WenJianTianJiaSuiJi(path_, s1, e1);
    WenJianTianJiaSuiJi(path_, s2, e2);
    velmora::common::SetTimerSource({});
    for (int64_t at : {11, 31}) {
        for (int32_t v : {5, 7834596, 965646}) expected.SuiJiJiaRu(v);
        std::vector<uint8_t> segment(20);
        for (auto& b : segment) b = expected.SuiJiZiJie();
        EXPECT_EQ(ReadBlock(path_, at, 20), segment) << "segment at " << at;
    }
    EXPECT_NE(ReadBlock(path_, 11, 20), ReadBlock(path_, 31, 20));
}

// A write that fails part-way (here the process's file-size limit, as a full disk would) takes
// the append back: the file keeps its old length and bytes, and the failure says so.
TEST_F(FileSegmentsTest, AppendThatFailsMidwayLeavesTheFileAsItWas) {
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto old_signal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 1500000;  // the second 1000000-byte chunk stops half-way
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    int32_t start = 11, end = 2500010;
    try {
        WenJianTianJiaSuiJi(path_, start, end);
        ADD_FAILURE() << "the append went past the size limit";
    } catch (const AppendUndoneError& e) {
        EXPECT_EQ(e.problem(), velmora::common::FileError::Problem::kDiskFull);
        EXPECT_EQ(e.path(), path_);
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_signal);
    EXPECT_EQ(FileLength(path_), 10);
    EXPECT_EQ(ReadBlock(path_, 1, 10), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
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
