// The main window's jobs as plain code: a fake window and an in-process progress double stand
// in for the window and the progress server; files are real, in a temporary folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "binary_file.h"
#include "main_job.h"
#include "progress_double.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;

class FakeWindow : public JobWindow {
  public:
    FakeWindow(MainState& s, ProgressDouble& p) : s_(s), p_(p) {}
    void Fyc() override {
        log.push_back("Fyc");
        hidden = true;
        s_.FycVisible = 1;
        p_.CFmshow();
    }
    void Fxs() override {
        log.push_back("Fxs");
        hidden = false;
        s_.FycVisible = 0;
        p_.CFmunload();
    }
    void ShowTarget(const std::string& path) override { target = path; }
    void ShowElapsed(float seconds) override { elapsed = ElapsedText(seconds); }
    void ClearPasswords() override { log.push_back("ClearPasswords"); }
    void Notice(const std::string& text) override { notices.push_back(text); }

    std::vector<std::string> log;
    std::vector<std::string> notices;
    std::string target;
    std::string elapsed;
    bool hidden = false;

  private:
    MainState& s_;
    ProgressDouble& p_;
};

class MainJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-job-" + std::to_string(rd()));
        fs::create_directories(dir_ / "out");
        jmi_ = std::make_unique<engine::Jmi>(engine::Jmi::TimerFn{}, dir_);
        jmi_->EngineStartup();
        s_.Aclss = &progress_;
        s_.Ac = 1;
        s_.Amb = Path("out/");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Make(const std::string& name, std::size_t size, unsigned seed = 1) {
        fs::create_directories((dir_ / name).parent_path());
        std::mt19937 gen(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(gen());
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void ChooseFile(const std::string& name) {
        s_.A = 0;
        s_.Ab = 1;
        s_.Yw = Path(name);
        s_.Ywb = fs::path(name).filename().string();
    }
    JobOutcome Run(std::int32_t direction) {
        JobServices services{*jmi_, fso_};
        return RunJob(direction, s_, Amwb_, input_, services, window_);
    }
    // The window as every job leaves it: shown, no progress window.
    void ExpectWindowBack() {
        EXPECT_FALSE(window_.hidden);
        EXPECT_EQ(s_.FycVisible, 0);
        EXPECT_FALSE(progress_.shown);
        ASSERT_FALSE(window_.log.empty());
        EXPECT_EQ(window_.log.back(), "Fxs");
    }

    fs::path dir_;
    common::Fso fso_;
    std::unique_ptr<engine::Jmi> jmi_;
    MainState s_;
    ProgressDouble progress_;
    FakeWindow window_{s_, progress_};
    std::vector<std::uint8_t> Amwb_;
    JobInput input_;
};

TEST_F(MainJobTest, ThresholdDecidesTheProgressWindow) {
    struct Case {
        std::size_t size;
        bool progress;
    };
    for (const Case c : {Case{300000, false}, Case{300001, true}}) {
        SCOPED_TRACE(c.size);
        progress_ = ProgressDouble();
        window_.log.clear();
        std::string name = "f";
        name += std::to_string(c.size);
        Make(name, c.size);
        ChooseFile(name);
        EXPECT_EQ(Run(0), JobOutcome::kFinished);
        EXPECT_EQ(s_.Afl, static_cast<std::int64_t>(c.size));
        EXPECT_EQ(window_.log.front() == "Fyc", c.progress);
        if (c.progress) {
            EXPECT_EQ(progress_.Count("Cwjm"), 1);
            EXPECT_EQ(progress_.percentages.back(), 100);
        } else {
            // A small file talks to the progress server only to close its window.
            EXPECT_EQ(progress_.calls, std::vector<std::string>{"CFmunload"});
        }
        EXPECT_EQ(window_.target, Path("out/" + name + ".jmw"));
        EXPECT_TRUE(window_.notices.empty()) << "no message at the end of a job";
        ExpectWindowBack();
    }
}

TEST_F(MainJobTest, FileRoundTripsWithPasswordAndWithKeyFile) {
    Make("plain.bin", 70001, 7);
    Make("key.bin", 600000, 9);
    ChooseFile("plain.bin");
    input_.password = u"密码 secret";
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_FALSE(window_.elapsed.empty());
    EXPECT_EQ(fs::file_size(dir_ / "ZGDcsh.lib"), 160u) << "saved after encryption";

    ChooseFile("out/plain.bin.jmw");
    ASSERT_EQ(Run(1), JobOutcome::kFinished);
    EXPECT_EQ(Read(dir_ / "out/plain.bin"), Read(dir_ / "plain.bin"));

    s_.Cmwb = 1;
    s_.Amw = Path("key.bin");
    ChooseFile("plain.bin");
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_EQ(Amwb_.size(), 500000u) << "only the first 500000 bytes of a key file count";
    ChooseFile("out/1plain.bin.jmw");
    ASSERT_EQ(Run(1), JobOutcome::kFinished);
    EXPECT_EQ(Read(dir_ / "out/1plain.bin"), Read(dir_ / "plain.bin"));
    EXPECT_TRUE(window_.notices.empty());
}

TEST_F(MainJobTest, NothingHappensWithoutSourceOrTarget) {
    Make("a", 10);
    ChooseFile("a");
    s_.Ac = 0;
    EXPECT_EQ(Run(0), JobOutcome::kNotStarted);
    s_.Ac = 1;
    s_.Ab = 0;
    EXPECT_EQ(Run(1), JobOutcome::kNotStarted);
    EXPECT_TRUE(window_.log.empty());
    EXPECT_TRUE(window_.notices.empty());
    EXPECT_TRUE(progress_.calls.empty());
}

TEST_F(MainJobTest, ConfirmationMismatchClearsTheBoxesOnlyWhenEncrypting) {
    Make("a", 10);
    ChooseFile("a");
    s_.Fmaqra = 1;
    input_.password = u"abc";
    input_.confirmation = u"abC";
    input_.confirmationShown = true;
    EXPECT_EQ(Run(0), JobOutcome::kMismatch);
    EXPECT_EQ(window_.notices, std::vector<std::string>{"密码填写有误,请重新填写."});
    EXPECT_EQ(window_.log, std::vector<std::string>{"ClearPasswords"});
    EXPECT_FALSE(fs::exists(dir_ / "out/a.jmw"));

    window_.notices.clear();
    EXPECT_EQ(Run(1), JobOutcome::kFinished) << "decryption compares nothing";
    EXPECT_TRUE(window_.notices.empty());

    input_.confirmationShown = false;  // key-file mode hides the confirmation box
    EXPECT_EQ(Run(0), JobOutcome::kFinished);
}

TEST_F(MainJobTest, EmptyKeyFileIsRefusedAndTheEarlierKeyIsNotReused) {
    Make("a", 1000);
    Make("key.bin", 64, 3);
    Make("empty.key", 0);
    ChooseFile("a");
    s_.Cmwa = 1;
    s_.Amw = Path("key.bin");
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    const std::vector<std::uint8_t> earlier = Amwb_;

    s_.Amw = Path("empty.key");
    EXPECT_EQ(Run(0), JobOutcome::kFailed);
    ASSERT_EQ(window_.notices.size(), 1u);
    EXPECT_NE(window_.notices[0].find(Path("empty.key")), std::string::npos);
    EXPECT_NE(window_.notices[0].find("空文件"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "out/1a.jmw")) << "no job ran";
    EXPECT_EQ(Amwb_, earlier);
    ExpectWindowBack();
}

// Each failure names the file and the reason in one notice, and the window comes back.
TEST_F(MainJobTest, FailuresNameTheFileAndBringTheWindowBack) {
    Make("big", 400000);
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string named;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"missing source", [&] { ChooseFile("gone.txt"); }, Path("gone.txt"), "不存在"},
        {"no file clicked",
         [&] {
             ChooseFile("big");
             s_.Yw.clear();
             s_.Ywb.clear();
         },
         "", "没有选择源文件"},
        {"source is a folder", [&] { ChooseFile("out"); }, Path("out"), "文件夹"},
        {"missing target folder",
         [&] {
             ChooseFile("big");
             s_.Amb = Path("nowhere/");
         },
         Path("nowhere/"), "不存在"},
        {"missing key file",
         [&] {
             ChooseFile("big");
             s_.Cmwb = 1;
             s_.Amw = Path("no.key");
         },
         Path("no.key"), "不存在"},
        {"no key file chosen",
         [&] {
             ChooseFile("big");
             s_.Cmwa = 1;
             s_.Amw.clear();
         },
         "", "没有选择密钥文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s_.Cmwa = s_.Cmwb = 0;
        s_.Amb = Path("out/");
        window_.notices.clear();
        window_.log.clear();
        c.arrange();
        EXPECT_EQ(Run(0), JobOutcome::kFailed);
        ASSERT_EQ(window_.notices.size(), 1u);
        EXPECT_NE(window_.notices[0].find(c.named), std::string::npos) << window_.notices[0];
        EXPECT_NE(window_.notices[0].find(c.reason), std::string::npos) << window_.notices[0];
        ExpectWindowBack();
    }
}

TEST_F(MainJobTest, UnreadableSourceAndUnwritableTargetAsAnOrdinaryUser) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads and writes everything; run as a user";
    Make("locked", 10);
    fs::permissions(dir_ / "locked", fs::perms::none);
    ChooseFile("locked");
    EXPECT_EQ(Run(0), JobOutcome::kFailed);
    EXPECT_NE(window_.notices.back().find("没有访问权限"), std::string::npos);
    Make("open", 10);
    ChooseFile("open");
    fs::permissions(dir_ / "out", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(Run(0), JobOutcome::kFailed);
    EXPECT_NE(window_.notices.back().find("无法创建目标文件"), std::string::npos);
    fs::permissions(dir_ / "out", fs::perms::owner_all);
    ExpectWindowBack();
}

// A sparse file of more than 2 GiB: the total is its real size, and the bar moves (the
// first block's percentage is not 100). The cancel at the first poll keeps the test short.
TEST_F(MainJobTest, SizesAboveTwoGibibytesAreCarriedWhole) {
    const std::int64_t size = (std::int64_t{1} << 31) + 12345;
    { std::ofstream(dir_ / "huge.bin", std::ios::binary); }
    fs::resize_file(dir_ / "huge.bin", static_cast<std::uintmax_t>(size));
    progress_.cancelAtPoll = 30;  // within the second block: the first is written whole
    ChooseFile("huge.bin");
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_EQ(s_.Afl, size);
    ASSERT_FALSE(progress_.percentages.empty());
    EXPECT_LT(progress_.percentages.front(), 1);
    EXPECT_GT(fs::file_size(dir_ / "out/huge.bin.jmw"), 0u) << "a cancel keeps whole blocks";
    ExpectWindowBack();

    fs::create_directories(dir_ / "tree");
    fs::rename(dir_ / "huge.bin", dir_ / "tree/huge.bin");
    progress_ = ProgressDouble();
    progress_.cancelAtPoll = 1;
    s_.A = 1;
    s_.Yw = Path("tree/");
    s_.Amb = Path("out/");
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_EQ(s_.Afl, size);
}

// A folder job shows the progress window whatever its size and round-trips every file.
TEST_F(MainJobTest, FolderTreeRoundTripsThroughBothDirections) {
    const std::vector<std::pair<std::string, std::size_t>> files = {
        {"t/empty", 0},         {"t/one", 1},        {"t/a/exact", 300000},
        {"t/a/b/over", 300001}, {"t/a/b/c.JMW", 77}, {"t/z/名字.txt", 5000},
    };
    unsigned seed = 1;
    for (const auto& [name, size] : files) Make(name, size, ++seed);
    fs::create_directories(dir_ / "t/hollow");
    fs::create_directories(dir_ / "enc");
    fs::create_directories(dir_ / "dec");
    input_.password = u"tree";
    s_.A = 1;
    s_.Ab = 1;
    s_.Yw = Path("t/");
    s_.Amb = Path("enc/");
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_EQ(window_.log.front(), "Fyc");
    EXPECT_TRUE(window_.notices.empty());
    ExpectWindowBack();
    EXPECT_TRUE(fs::is_directory(dir_ / "enc/hollow")) << "empty folders are recreated";

    s_.Yw = Path("enc/");
    s_.Amb = Path("dec/");
    ASSERT_EQ(Run(1), JobOutcome::kFinished);
    for (const auto& [name, size] : files) {
        const fs::path back = dir_ / "dec" / fs::path(name).lexically_relative("t");
        EXPECT_EQ(Read(back), Read(dir_ / name)) << name;
    }
}

TEST_F(MainJobTest, FolderCancelStopsTheWalkAndTheWindowComesBack) {
    Make("t/a/one", 10);
    Make("t/b/two", 10);
    s_.A = 1;
    s_.Ab = 1;
    s_.Yw = Path("t/");
    progress_.cancelAtPoll = 1;  // cancelled during the first folder's check
    ASSERT_EQ(Run(0), JobOutcome::kFinished);
    EXPECT_FALSE(fs::exists(dir_ / "out/a")) << "no folder is created after the cancel";
    EXPECT_TRUE(window_.notices.empty()) << "a cancel says nothing";
    ExpectWindowBack();
}

// The walk's own failures are told in the window's words, naming the folder.
TEST_F(MainJobTest, FolderJobFailuresSayWhichFolder) {
    Make("t/x", 10);
    Make("t/sub/y", 10);
    struct Case {
        const char* what;
        std::string source, target, named, reason;
    };
    Make("blocked/sub", 1);  // a file where the walk wants the folder "sub"
    const std::vector<Case> cases = {
        {"missing target folder", "t/", "missing/", Path("missing/"), "不存在"},
        {"missing source folder", "gone/", "out/", Path("gone/"), "不存在"},
        {"a file in the way of a folder", "t/", "blocked/", Path("blocked/sub/"), "同名文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window_.notices.clear();
        s_.A = 1;
        s_.Ab = 1;
        s_.Yw = Path(c.source);
        s_.Amb = Path(c.target);
        EXPECT_EQ(Run(0), JobOutcome::kFailed);
        ASSERT_EQ(window_.notices.size(), 1u);
        EXPECT_NE(window_.notices[0].find(c.named), std::string::npos) << window_.notices[0];
        EXPECT_NE(window_.notices[0].find(c.reason), std::string::npos) << window_.notices[0];
        ExpectWindowBack();
    }
    EXPECT_TRUE(fs::exists(dir_ / "blocked/x.jmw")) << "files finished before the error stay";
}

}  // namespace
}  // namespace velmora::frontend
