// Folder sources of velmora-cli, run in process on real temporary trees: the mirrored tree,
// the same names for any number of workers, round trips, links, --only-jmw, and a stop or an
// error in the middle of a parallel job.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fstream>
#include <iterator>
#include <random>

#include "cli_errors.h"
#include "error.h"
#include "file_job.h"
#include "interrupt.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TreeJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-tree-" + std::to_string(rd()));
        fs::create_directories(dir_);
        env_.stateFolder = dir_;
        env_.report = nullptr;
        env_.warnings = nullptr;
        env_.timer = [] { return 1234.5f; };
        SetInterruptedForTesting(0);
    }
    void TearDown() override {
        SetInterruptedForTesting(0);
        fs::remove_all(dir_);
    }

    std::string P(const std::string& rel) const { return (dir_ / rel).string(); }
    static Bytes Pattern(std::size_t n, unsigned seed) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * seed + i / 97);
        return b;
    }
    // "a/b/" is a folder, anything else a file of `size` bytes; parents are made.
    void Make(const std::string& rel, std::size_t size = 1000) const {
        const fs::path p = dir_ / rel;
        if (rel.back() == '/') {
            fs::create_directories(p);
            return;
        }
        fs::create_directories(p.parent_path());
        const Bytes bytes = Pattern(size, static_cast<unsigned>(rel.size() * 13 + 1));
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every entry below `rel`, relative to it, folders marked with a final "/", sorted.
    std::vector<std::string> Tree(const std::string& rel) const {
        std::vector<std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(dir_ / rel)) {
            const std::string r = fs::relative(e.path(), dir_ / rel).string();
            out.push_back(e.is_directory() && !e.is_symlink() ? r + "/" : r);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<fs::path> Run(const std::vector<std::string>& sources, Direction direction,
                              int jobs, std::optional<std::string> output = {},
                              bool onlyJmw = false) {
        JobOptions options;
        options.sources = sources;
        options.outputFolder = std::move(output);
        options.passwordFile = P("key");
        options.jobs = jobs;
        options.onlyJmw = onlyJmw;
        return RunFileJob(options, direction, env_);
    }
    // No temporary file of an unfinished target anywhere below the test's folder.
    bool NoUnfinishedFiles() const {
        for (const auto& e : fs::recursive_directory_iterator(dir_)) {
            if (e.path().filename().string().rfind(".velmora-unfinished-", 0) == 0) return false;
        }
        return true;
    }

    fs::path dir_;
    JobEnvironment env_;
};

TEST_F(TreeJobTest, TreesAreMirroredUnderTheSameNamesForAnyNumberOfWorkersAndComeBackWhole) {
    Make("key", 300);
    for (const char* rel :
         {"src/a.txt", "src/empty/", "src/sub/b.txt", "src/sub/deeper/c.txt", "src/sub/none/",
          "src/z/many1", "src/z/many2", "src/z/many3", "src/z/many4", "src/z/many5"}) {
        Make(rel);
    }
    Make("src/big.bin", 7000000);   // two blocks
    Make("src/sub/b.txt.jmw", 10);  // a name the plan must number past
    Run({P("src")}, Direction::Encrypt, 1, P("one"));
    Run({P("src")}, Direction::Encrypt, 4, P("four"));
    const std::vector<std::string> expected = {
        "a.txt.jmw",   "big.bin.jmw",          "empty/",
        "sub/",        "sub/b.txt.jmw",        "sub/b.txt.jmw.jmw",
        "sub/deeper/", "sub/deeper/c.txt.jmw", "sub/none/",
        "z/",          "z/many1.jmw",          "z/many2.jmw",
        "z/many3.jmw", "z/many4.jmw",          "z/many5.jmw"};
    EXPECT_EQ(Tree("one"), expected);
    EXPECT_EQ(Tree("four"), expected);

    Run({P("four")}, Direction::Decrypt, 4, P("back"));
    std::vector<std::string> sources = Tree("src");
    EXPECT_EQ(Tree("back"), sources);
    for (const std::string& rel : sources) {
        if (rel.back() != '/') {
            EXPECT_EQ(Read(dir_ / "back" / rel), Read(dir_ / "src" / rel)) << rel;
        }
    }
}

TEST_F(TreeJobTest, WithoutAnOutputFolderTheTreeGetsItsTwinsInPlace) {
    // The window's rule when source and target are the same folder: every file gets its
    // encrypted twin next to it, numbered when the name is taken, and nothing is encrypted
    // twice, because every name is chosen before the first file is written.
    Make("key", 300);
    Make("src/a");
    Make("src/a.jmw", 5);
    Make("src/in/b");
    Run({P("src")}, Direction::Encrypt, 2);
    EXPECT_EQ(Tree("src"), (std::vector<std::string>{"1a.jmw", "a", "a.jmw", "a.jmw.jmw", "in/",
                                                     "in/b", "in/b.jmw"}));
}

TEST_F(TreeJobTest, OnlyJmwLeavesOtherFilesOutOfADecryptingWalk) {
    Make("key", 300);
    Make("src/notes.txt");
    Make("src/in/data.bin");
    Run({P("src")}, Direction::Encrypt, 2, P("enc"));
    Make("enc/readme");  // not encrypted; a plain walk decrypts it into noise
    Make("enc/in/DATA2.JMW", 50);
    Run({P("enc")}, Direction::Decrypt, 2, P("only"), true);
    EXPECT_EQ(Tree("only"),
              (std::vector<std::string>{"in/", "in/DATA2", "in/data.bin", "notes.txt"}));
    EXPECT_EQ(Read(dir_ / "only/notes.txt"), Read(dir_ / "src/notes.txt"));
    Run({P("enc")}, Direction::Decrypt, 2, P("all"));
    EXPECT_EQ(Tree("all"),
              (std::vector<std::string>{"in/", "in/DATA2", "in/data.bin", "notes.txt", "readme"}));
}

TEST_F(TreeJobTest, ALinkedFileIsCodedAsItsFileAndALinkedFolderIsNotEntered) {
    Make("key", 300);
    Make("src/real");
    Make("elsewhere/hidden");
    fs::create_symlink(dir_ / "src/real", dir_ / "src/alias");
    fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "src/side");
    fs::create_directory_symlink(dir_ / "src", dir_ / "src/loop");
    Run({P("src")}, Direction::Encrypt, 2, P("out"));
    EXPECT_EQ(Tree("out"), (std::vector<std::string>{"alias.jmw", "real.jmw"}));
    Run({P("out")}, Direction::Decrypt, 2, P("back"));
    EXPECT_EQ(Read(dir_ / "back/alias"), Read(dir_ / "src/real"));
}

TEST_F(TreeJobTest, AMissingOutputFolderIsMadeWithItsParents) {
    Make("key", 300);
    Make("src/a");
    Make("file");
    Run({P("src"), P("file")}, Direction::Encrypt, 2, P("new/deeper"));
    EXPECT_EQ(Tree("new"),
              (std::vector<std::string>{"deeper/", "deeper/a.jmw", "deeper/file.jmw"}));
}

TEST_F(TreeJobTest, ABadKeyFileMakesNoFolder) {
    Make("key", 0);  // an empty key file is refused
    Make("src/in/a");
    EXPECT_THROW(Run({P("src")}, Direction::Encrypt, 2, P("new/out")), common::Error);
    EXPECT_FALSE(fs::exists(dir_ / "new"));
    EXPECT_EQ(Tree("src"), (std::vector<std::string>{"in/", "in/a"}));
}

// A stop or an error while several workers are inside their files: the files finished
// before stay whole, no unfinished target is left, and the job ends as the first cause says.
TEST_F(TreeJobTest, AStopOrAnErrorInTheMiddleOfAParallelJobLeavesOnlyWholeFiles) {
    Make("key", 300);
    for (int i = 0; i < 30; ++i) Make("src/f" + std::to_string(i), 700000);
    struct Case {
        const char* name;
        bool error;
    };
    for (const Case c : {Case{"Ctrl-C", false}, Case{"a source gone", true}}) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "out");
        SetInterruptedForTesting(0);
        // Each engine reads the timer a few times as it starts and once for every file it
        // starts: the cause arrives at about the tenth file.
        std::atomic<int> started{0};
        env_.timer = [&] {
            if (++started == 16) {
                if (c.error) {
                    fs::remove(dir_ / "src/f29");
                } else {
                    SetInterruptedForTesting(SIGINT);
                }
            }
            return 1.0f;
        };
        try {
            Run({P("src")}, Direction::Encrypt, 3, P("out"));
            ADD_FAILURE() << "the job ran to its end";
        } catch (const Cancelled& e) {
            EXPECT_FALSE(c.error);
            EXPECT_EQ(e.Signal(), SIGINT);
        } catch (const common::Error& e) {
            EXPECT_TRUE(c.error);
            EXPECT_NE(std::string(e.what()).find(P("src/f29")), std::string::npos) << e.what();
        }
        EXPECT_TRUE(NoUnfinishedFiles());
        const std::vector<std::string> made = Tree("out");
        EXPECT_GE(made.size(), 5u);
        EXPECT_LT(made.size(), 29u);
        env_.timer = [] { return 1.0f; };
        SetInterruptedForTesting(0);
        Run({P("out")}, Direction::Decrypt, 3, P("back"));
        for (const std::string& rel : Tree("back")) {
            EXPECT_EQ(Read(dir_ / "back" / rel), Read(dir_ / "src" / rel)) << rel;
        }
        fs::remove_all(dir_ / "back");
        if (c.error) Make("src/f29", 700000);
    }
}

}  // namespace
}  // namespace velmora::cli
