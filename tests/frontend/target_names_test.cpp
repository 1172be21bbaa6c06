// Target names and key-file reading: the file rules the windows and the command line share.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "error.h"
#include "key_file.h"
#include "target_names.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;

class FrontendFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-names-" + std::to_string(rd()));
        fs::create_directories(dir_);
        folder_ = dir_.string() + "/";
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Touch(const std::string& name, std::size_t size = 1) {
        std::ofstream(dir_ / name, std::ios::binary) << std::string(size, 'k');
    }

    fs::path dir_;
    std::string folder_;
    common::Fso fso_;
};

TEST_F(FrontendFilesTest, NewNamesAreNumberedInFrontWhileTaken) {
    struct Case {
        const char* existing;  // files present before the call, separated by '|'
        bool encrypt;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"", true, "a.txt", "a.txt.jmw"},
        {"a.txt.jmw", true, "a.txt", "1a.txt.jmw"},
        {"a.txt.jmw|1a.txt.jmw", true, "a.txt", "2a.txt.jmw"},
        {"", false, "a.txt.jmw", "a.txt"},
        {"a.txt", false, "a.txt.jmw", "1a.txt"},
        {"", false, "DATA.JMW", "DATA"},
        {"", false, "data.bin", "data.bin"},
        {"data.bin", false, "data.bin", "1data.bin"},
        {"", false, "x.jmw.jmw", "x.jmw"},
        {"", false, ".jmw", ".jmw"},  // never the folder itself
        {"", false, "报告.jmw", "报告"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " with [" + c.existing + "]");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::string existing = c.existing;
        for (std::size_t start = 0; start < existing.size();) {
            const std::size_t end = std::min(existing.find('|', start), existing.size());
            Touch(existing.substr(start, end - start));
            start = end + 1;
        }
        const std::string got = c.encrypt ? FSmdcl::EncTargetName(fso_, folder_, c.name)
                                          : FSmdcl::DecTargetName(fso_, folder_, c.name);
        EXPECT_EQ(got, folder_ + c.expected);
    }
}

TEST_F(FrontendFilesTest, AFolderOfTheSameNameIsNotATakenFile) {
    fs::create_directory(dir_ / "a.txt.jmw");
    EXPECT_EQ(FSmdcl::EncTargetName(fso_, folder_, "a.txt"), folder_ + "a.txt.jmw");
}

TEST_F(FrontendFilesTest, KeyFilesGiveAtMostTheirFirst500000Bytes) {
    struct Case {
        std::size_t size;
        std::size_t expected;
    };
    for (const Case c : {Case{0, 0}, Case{3, 3}, Case{500000, 500000}, Case{500001, 500000},
                         Case{700000, 500000}}) {
        SCOPED_TRACE(c.size);
        Touch("key", c.size);
        EXPECT_EQ(FmimaDuchu(dir_ / "key").size(), c.expected);
    }
    EXPECT_THROW(FmimaDuchu(dir_ / "missing"), common::Error);
    EXPECT_THROW(FmimaDuchu(dir_), common::Error);
}

}  // namespace
}  // namespace velmora::frontend
