#include "fso.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "error.h"

namespace fs = std::filesystem;
using velmora::common::Error;
using velmora::common::Fso;

namespace {

// A small tree written out of name order, so that sorting and summing are both visible.
class FsoTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("fso_test_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "zeta" / "inner");
        fs::create_directories(root_ / "alpha");
        Write(root_ / "b.bin", 3);
        Write(root_ / "a.bin", 5);
        Write(root_ / "zeta" / "inner" / "c.bin", 7);
    }
    void TearDown() override { fs::remove_all(root_); }
    static void Write(const fs::path& p, int n) {
        std::ofstream(p, std::ios::binary) << std::string(n, 'x');
    }
    std::string Root() const { return root_.string(); }

    fs::path root_;
    Fso fso_;
};

TEST_F(FsoTree, ListsSortedSumsTheTreeAndTellsFilesFromFolders) {
    EXPECT_EQ(fso_.SubFolders(Root()), (std::vector<std::string>{"alpha", "zeta"}));
    EXPECT_EQ(fso_.Files(Root() + "/"), (std::vector<std::string>{"a.bin", "b.bin"}));
    EXPECT_EQ(fso_.FolderSize(Root()), 15);
    EXPECT_TRUE(fso_.fileexists(Root() + "/a.bin"));
    EXPECT_FALSE(fso_.fileexists(Root() + "/alpha"));
    EXPECT_TRUE(fso_.folderexists(Root() + "/alpha"));
    EXPECT_FALSE(fso_.folderexists(Root() + "/a.bin"));
    EXPECT_EQ(fso_.GetAbsolutePathName(Root() + "/zeta/../a.bin"), Root() + "/a.bin");
}

TEST_F(FsoTree, CreatesOneFolderAndRefusesWhatCannotBe) {
    fso_.CreateFolder(Root() + "/made");
    EXPECT_TRUE(fso_.folderexists(Root() + "/made"));
    EXPECT_THROW(fso_.CreateFolder(Root() + "/missing/child"), Error);
    EXPECT_EQ(fso_.GetFile(Root() + "/b.bin"), Root() + "/b.bin");
    EXPECT_THROW(fso_.GetFile(Root() + "/alpha"), Error);
    EXPECT_THROW(fso_.Files(Root() + "/nowhere"), Error);
}

TEST_F(FsoTree, VolumeIsAnEnclosingRootWithSpaceInUse) {
    const std::string volume = fso_.VolumeOf(Root());
    ASSERT_FALSE(volume.empty());
    EXPECT_EQ(volume.back(), '/');
    // The volume root is a leading part of every path on it.
    EXPECT_EQ((Root() + "/").rfind(volume, 0), 0u);
    EXPECT_GT(fso_.UsedSpace(Root()), 0);
}

}  // namespace
