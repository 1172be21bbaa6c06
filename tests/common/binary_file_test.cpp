#include "binary_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "../tools/read_only_file.h"
#include "error.h"

namespace velmora::common {
namespace {

namespace fs = std::filesystem;

class BinaryFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("velmora-binfile-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Make(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path dir_;
};

TEST_F(BinaryFileTest, WritesInsideAndPastTheEndWithoutShortening) {
    Make("f", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    WriteBlock(Path("f"), 5, {50, 60, 70});
    WriteBlock(Path("f"), 12, {120, 130, 140});
    EXPECT_EQ(ReadBlock(Path("f"), 1, 14),
              (std::vector<uint8_t>{1, 2, 3, 4, 50, 60, 70, 8, 9, 10, 0, 120, 130, 140}));
    EXPECT_EQ(FileLength(Path("f")), 14);
}

TEST_F(BinaryFileTest, ReadingPastTheEndGivesZerosAndLeavesTheFile) {
    Make("f", {9, 8, 7});
    EXPECT_EQ(ReadBlock(Path("f"), 2, 5), (std::vector<uint8_t>{8, 7, 0, 0, 0}));
    EXPECT_EQ(FileLength(Path("f")), 3);
}

TEST_F(BinaryFileTest, MissingFileIsCreatedEmpty) {
    EXPECT_EQ(ReadBlock(Path("new"), 1, 2), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(FileLength(Path("new")), 0);
}

// Reading must never wait on a pipe nor hand back a device's endless zeros as file bytes.
TEST_F(BinaryFileTest, DevicesAndPipesAreRefusedNotRead) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/null"), Path("fifo")}) {
        SCOPED_TRACE(path);
        for (Access access : {Access::kReadWrite, Access::kReadOnly}) {
            try {
                ReadBlock(path, 1, 4, access);
                ADD_FAILURE() << "read a non-regular file";
            } catch (const FileError& e) {
                EXPECT_EQ(e.problem(), FileError::Problem::kNotRegular);
                EXPECT_EQ(e.path(), path);
            }
        }
        EXPECT_THROW(WriteBlock(path, 1, {1}), FileError);
        EXPECT_THROW(ReadHead(path, 10), FileError);
        EXPECT_THROW(FileLength(path), FileError);
    }
}

TEST_F(BinaryFileTest, ReadOnlyAccessReadsWhatCannotBeWrittenAndCreatesNothing) {
    Make("key", {1, 2, 3, 4, 5});
    if (!MakeReadOnly(Path("key"))) GTEST_SKIP() << "cannot make a read-only file here";
    EXPECT_THROW(ReadBlock(Path("key"), 1, 2), FileError) << "read-write access must fail here";
    EXPECT_EQ(ReadBlock(Path("key"), 4, 3, Access::kReadOnly), (std::vector<uint8_t>{4, 5, 0}));
    EXPECT_EQ(ReadHead(Path("key"), 3), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(ReadHead(Path("key"), 500000), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    Writable(Path("key"));

    try {
        ReadBlock(Path("gone"), 1, 1, Access::kReadOnly);
        ADD_FAILURE() << "read a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.problem(), FileError::Problem::kMissing);
    }
    EXPECT_THROW(ReadHead(Path("gone"), 1), FileError);
    EXPECT_FALSE(fs::exists(Path("gone")));
}

TEST_F(BinaryFileTest, FolderEmptyPathAndBadPositionAreErrors) {
    EXPECT_THROW(ReadBlock(dir_.string(), 1, 1), Error);
    EXPECT_THROW(WriteBlock("", 1, {1}), Error);
    EXPECT_THROW(WriteBlock(Path("f"), 0, {1}), Error);
    EXPECT_FALSE(fs::exists(Path("f")));
    EXPECT_THROW(FileLength(dir_.string()), Error);
}

TEST_F(BinaryFileTest, WholeFileReadsWithoutCreatingOrWaiting) {
    using Status = WholeFile::Status;
    Make("f", {1, 2, 3});
    Make("empty", {});
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    fs::create_symlink(dir_ / "gone", dir_ / "dangling");
    struct Case {
        std::string name;
        int64_t limit;
        Status status;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"f", 3, Status::kRead, {1, 2, 3}},
        {"empty", 3, Status::kRead, {}},
        {"f", 2, Status::kTooLarge, {}},
        {"missing", 3, Status::kMissing, {}},
        {"dangling", 3, Status::kMissing, {}},
        {"folder", 3, Status::kUnreadable, {}},
        // A reader that opened a pipe for reading would wait here for a writer forever.
        {"pipe", 3, Status::kUnreadable, {}},
    };
    for (const auto& c : cases) {
        const WholeFile file = ReadWholeFile(Path(c.name), c.limit);
        EXPECT_EQ(file.status, c.status) << c.name;
        EXPECT_EQ(file.bytes, c.bytes) << c.name;
    }
    EXPECT_FALSE(fs::exists(Path("missing")));
    EXPECT_EQ(ReadWholeFile("", 3).status, Status::kMissing);
}

}  // namespace
}  // namespace velmora::common
