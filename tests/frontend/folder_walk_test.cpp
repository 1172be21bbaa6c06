// The folder-tree job on real temporary trees: pass order, the mirrored target tree, cancel
// points, skipped folders, errors, and whole trees through the engine and back.

#include "folder_walk.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "error.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;
using FSmdcl::FilePair;
using FSmdcl::FolderWalk;
using test::Bytes;

class FolderWalkTest : public test::EngineTest {
  protected:
    // "a/b/" is a folder, anything else a file of `size` pattern bytes; parents are made.
    void Make(const std::string& rel, std::size_t size = 3) {
        const fs::path p = dir_ / rel;
        if (rel.back() == '/') {
            fs::create_directories(p);
        } else {
            fs::create_directories(p.parent_path());
            WriteFile(p, test::Pattern(size));
        }
    }
    void MakeAll(const std::vector<std::string>& rels) {
        for (const std::string& rel : rels) Make(rel);
    }
    std::string Folder(const std::string& rel = "") const {
        std::string s = (dir_ / rel).string();
        return s.back() == '/' ? s : s + "/";
    }
    // Every entry below `rel`, relative to it, folders marked with a final "/", sorted.
    std::vector<std::string> Tree(const std::string& rel) const {
        std::vector<std::string> out;
        const fs::path base = dir_ / rel;
        for (const auto& e : fs::recursive_directory_iterator(base)) {
            std::string r = fs::relative(e.path(), base).string();
            out.push_back(e.is_directory() ? r + "/" : r);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // A walk that records each file instead of coding it.
    FolderWalk RecordingWalk() {
        return FolderWalk(fso_, job_,
                          [this](const FilePair& f, std::int32_t) { seen_.push_back(f); });
    }
    std::vector<std::string> SeenSources(const std::string& root) const {
        std::vector<std::string> out;
        for (const FilePair& f : seen_) out.push_back(f.source.substr(Folder(root).size()));
        return out;
    }

    common::Fso fso_;
    std::vector<FilePair> seen_;
};

TEST_F(FolderWalkTest, ListsTheTreeGenerationByGenerationVisitingEachGenerationBackwards) {
    MakeAll({"R/A/A1/", "R/B/B1/", "R/B/B2/"});
    FolderWalk walk = RecordingWalk();
    EXPECT_EQ(walk.ListFolders(Folder("R")), 5);
    const std::string r = Folder("R");
    EXPECT_EQ(walk.FolderList, (std::vector<std::string>{r, r + "A/", r + "B/", r + "B/B1/",
                                                         r + "B/B2/", r + "A/A1/"}));
}

TEST_F(FolderWalkTest, KeepsEveryEntryWhenTheListGrowsPastItsFirstRoom) {
    // 2100 folders in the first generation force the list to grow while the next generation,
    // visited from the last entry back, is added.
    for (int i = 0; i < 2100; ++i) Make("R/" + std::to_string(10000 + i) + "/");
    MakeAll({"R/10000/first/", "R/12099/last/"});
    FolderWalk walk = RecordingWalk();
    EXPECT_EQ(walk.ListFolders(Folder("R")), 2102);
    EXPECT_EQ(walk.FolderCap, 3000);
    EXPECT_EQ(walk.FolderList[1], Folder("R/10000"));
    EXPECT_EQ(walk.FolderList[2101], Folder("R/12099/last"));
    EXPECT_EQ(walk.FolderList[2102], Folder("R/10000/first"));
}

TEST_F(FolderWalkTest, RecreatesTheTreeWithEmptyFoldersAndNamesEveryFileOnce) {
    MakeAll(
        {"R/top.txt", "R/A/a.txt", "R/A/empty/", "R/B/b.txt", "R/B/deep/d.txt", "R/E/", "out/"});
    FolderWalk walk = RecordingWalk();
    walk.SetFolderDirection(0);
    EXPECT_TRUE(walk.RunFolderJob(Folder("R"), Folder("out")));
    // Folders in list order (R, A, B, E, deep, empty), each folder's files in name order.
    EXPECT_EQ(SeenSources("R"),
              (std::vector<std::string>{"top.txt", "A/a.txt", "B/b.txt", "B/deep/d.txt"}));
    EXPECT_EQ(seen_[3].target, Folder("out/B/deep") + "d.txt.jmw");
    EXPECT_EQ(Tree("out"), (std::vector<std::string>{"A/", "A/empty/", "B/", "B/deep/", "E/"}));
}

TEST_F(FolderWalkTest, ADecryptingWalkHandsEveryFileOverUnderItsNameWithoutJmw) {
    MakeAll({"R/a.txt.jmw", "R/B.JMW", "R/plain.bin", "R/plain.bin.jmw", "out/"});
    FolderWalk walk = RecordingWalk();
    walk.SetFolderDirection(7);
    EXPECT_EQ(walk.FolderDecrypt, 1);
    walk.RunFolderJob(Folder("R"), Folder("out"));
    // Names are chosen before anything is written, yet two sources never share a target.
    const std::string o = Folder("out");
    EXPECT_EQ(seen_, (std::vector<FilePair>{{Folder("R") + "B.JMW", o + "B"},
                                            {Folder("R") + "a.txt.jmw", o + "a.txt"},
                                            {Folder("R") + "plain.bin", o + "plain.bin"},
                                            {Folder("R") + "plain.bin.jmw", o + "1plain.bin"}}));
}

TEST_F(FolderWalkTest, NamesAreLookedUpInTargetFoldersThatExistAndReservedInOnesItMakes) {
    // out/A is there with a.jmw taken; out/B is made by the walk, where only names the walk
    // chose itself can be taken.
    MakeAll({"R/A/a", "R/B/x.jmw", "R/B/x", "out/A/a.jmw"});
    FolderWalk walk = RecordingWalk();
    walk.SetFolderDirection(1);
    EXPECT_TRUE(walk.RunFolderJob(Folder("R"), Folder("out")));
    EXPECT_EQ(seen_, (std::vector<FilePair>{{Folder("R/A") + "a", Folder("out/A") + "a"},
                                            {Folder("R/B") + "x", Folder("out/B") + "x"},
                                            {Folder("R/B") + "x.jmw", Folder("out/B") + "1x"}}));
    seen_.clear();
    FolderWalk encrypting = RecordingWalk();
    encrypting.SetFolderDirection(0);
    EXPECT_TRUE(encrypting.RunFolderJob(Folder("R"), Folder("out")));
    EXPECT_EQ(seen_[0].target, Folder("out/A") + "1a.jmw");
}

TEST_F(FolderWalkTest, SourceAsTargetGivesEachFileOneTwinAndEncryptsNothingTwice) {
    MakeAll({"R/a", "R/a.jmw", "R/b", "R/S/c"});
    jmi_.SetKeyFromPassword(u"twin", 0);
    FolderWalk walk(fso_, jmi_, job_);
    walk.SetFolderDirection(0);
    EXPECT_TRUE(walk.RunFolderJob(Folder("R"), Folder("R")));
    EXPECT_EQ(Tree("R"), (std::vector<std::string>{"1a.jmw", "S/", "S/c", "S/c.jmw", "a", "a.jmw",
                                                   "a.jmw.jmw", "b", "b.jmw"}));
}

TEST_F(FolderWalkTest, ATargetInsideTheSourceIsWalkedAgainButFoldersItMakesAreNot) {
    MakeAll({"R/f", "R/out/"});
    jmi_.SetKeyFromPassword(u"nest", 0);
    FolderWalk walk(fso_, jmi_, job_);
    walk.SetFolderDirection(0);
    EXPECT_TRUE(walk.RunFolderJob(Folder("R"), Folder("R/out")));
    EXPECT_EQ(Tree("R"), (std::vector<std::string>{"f", "out/", "out/f.jmw", "out/out/",
                                                   "out/out/f.jmw.jmw"}));
}

TEST_F(FolderWalkTest, LinksBackUpTheirOwnWayAreLeftOutAndReportedOthersAreWalked) {
    MakeAll({"R/A/a", "R/P/", "R/Q/", "elsewhere/e"});
    fs::create_directory_symlink(dir_ / "R", dir_ / "R/A/up");
    fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "R/side");
    // Two folders linked into each other: each is entered once through the other.
    fs::create_directory_symlink(dir_ / "R/Q", dir_ / "R/P/toQ");
    fs::create_directory_symlink(dir_ / "R/P", dir_ / "R/Q/toP");
    FolderWalk walk = RecordingWalk();
    walk.ListFolders(Folder("R"));
    const std::string r = Folder("R");
    EXPECT_EQ(walk.FolderList, (std::vector<std::string>{r, r + "A/", r + "P/", r + "Q/",
                                                         r + "side/", r + "Q/toP/", r + "P/toQ/"}));
    std::vector<std::string> skipped;
    for (const auto& s : walk.SkippedFolders()) skipped.push_back(s.folder.substr(r.size()));
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (std::vector<std::string>{"A/up/", "P/toQ/toP/", "Q/toP/toQ/"}));
}

TEST_F(FolderWalkTest, WithoutFolderLinksAndWithAFileFilterTheRestIsNotSeenAtAll) {
    // The command line's walk: linked folders are not entered nor recreated, linked files are
    // files, and files left out by the filter take no names from those kept.
    MakeAll(
        {"R/a.txt.jmw", "R/plain.bin", "R/plain.bin.jmw", "R/A/c.JMW", "elsewhere/e.jmw", "out/"});
    fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "R/side");
    fs::create_symlink(dir_ / "R/a.txt.jmw", dir_ / "R/link.jmw");
    FolderWalk walk = RecordingWalk();
    walk.FollowFolderLinks(false);
    walk.KeepFiles([](const std::string& name) {
        return name.size() > 4 && (name.ends_with(".jmw") || name.ends_with(".JMW"));
    });
    walk.SetFolderDirection(1);
    EXPECT_TRUE(walk.RunFolderJob(Folder("R"), Folder("out")));
    const std::string o = Folder("out");
    EXPECT_EQ(seen_, (std::vector<FilePair>{{Folder("R") + "a.txt.jmw", o + "a.txt"},
                                            {Folder("R") + "link.jmw", o + "link"},
                                            {Folder("R") + "plain.bin.jmw", o + "plain.bin"},
                                            {Folder("R/A") + "c.JMW", o + "A/c"}}));
    EXPECT_EQ(Tree("out"), (std::vector<std::string>{"A/"}));
}

// Cancel points: CFhz is asked after every file and every folder, and the walk stops at the
// first 0. The poll counts below are worked out for R{r1}, A{a1, a2}, B{b1}.
TEST_F(FolderWalkTest, ACancelStopsBeforeTheNextFileOrFolder) {
    struct Case {
        const char* what;
        int cancelAtPoll;
        std::vector<std::string> coded;
        std::vector<std::string> targetTree;
    };
    const Case cases[] = {
        // polls: r1 1, folder R 2, a1 3, a2 4, folder A 5, b1 6, folder B 7
        {"after the first file of A", 3, {"r1", "A/a1"}, {"A/"}},
        {"after folder R", 2, {"r1"}, {}},
        {"after folder A", 5, {"r1", "A/a1", "A/a2"}, {"A/"}},
        {"never", 0, {"r1", "A/a1", "A/a2", "B/b1"}, {"A/", "B/"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_ / "R");
        fs::remove_all(dir_ / "out");
        MakeAll({"R/r1", "R/A/a1", "R/A/a2", "R/B/b1", "out/"});
        seen_.clear();
        test::ProgressDouble progress(job_);
        progress.cancelAtPoll = c.cancelAtPoll;
        job_.Aclss = &progress;
        FolderWalk walk = RecordingWalk();
        const bool completed = walk.RunFolderJob(Folder("R"), Folder("out"));
        EXPECT_EQ(completed, c.cancelAtPoll == 0);
        EXPECT_EQ(SeenSources("R"), c.coded);
        EXPECT_EQ(Tree("out"), c.targetTree);
    }
}

TEST_F(FolderWalkTest, ACancelInsideTheLastFileOfAFolderKeepsItsPartAndStartsNoFolder) {
    MakeAll({"R/A/a", "R/B/b", "out/"});
    Make("R/big", 400000);
    test::ProgressDouble progress(job_);
    progress.cancelAtPoll = 1;  // the engine's own poll after the only block of R/big
    job_.Aclss = &progress;
    job_.FycVisible = 1;
    jmi_.SetKeyFromPassword(u"stop", 0);
    FolderWalk walk(fso_, jmi_, job_);
    EXPECT_FALSE(walk.RunFolderJob(Folder("R"), Folder("out")));
    EXPECT_EQ(Tree("out"), (std::vector<std::string>{"big.jmw"}));
    EXPECT_EQ(fs::file_size(dir_ / "out/big.jmw"), 0u);  // the block in hand was dropped
}

TEST_F(FolderWalkTest, MixedSizesRoundTripThroughEncryptAndDecryptWalks) {
    const std::vector<std::pair<std::string, std::size_t>> files = {
        {"zero", 0},         {"one", 1},      {"A/lim", 300000}, {"A/over", 300001},
        {"A/A1/one.jmw", 1}, {"B/mid", 4097}, {"B/B1/B2/z", 0},
    };
    for (const auto& [name, size] : files) Make("src/" + name, size);
    MakeAll({"src/empty/", "enc/", "dec/"});
    test::ProgressDouble progress(job_);
    job_.Aclss = &progress;
    job_.FycVisible = 1;
    FolderWalk walk(fso_, jmi_, job_);

    jmi_.SetKeyFromPassword(u"密码 tree", 0);
    job_.ProcessedTotal = 0;
    job_.Afl = FSmdcl::JobSize(fso_, Folder("src"));
    EXPECT_EQ(job_.Afl, 2 * 300000 + 4097 + 3);
    walk.SetFolderDirection(0);
    ASSERT_TRUE(walk.RunFolderJob(Folder("src"), Folder("enc")));
    EXPECT_EQ(job_.ProcessedTotal, static_cast<double>(job_.Afl));
    EXPECT_EQ(progress.percentages.back(), 100);

    jmi_.SetKeyFromPassword(u"密码 tree", 1);
    job_.ProcessedTotal = 0;
    job_.Afl = FSmdcl::JobSize(fso_, Folder("enc"));
    walk.SetFolderDirection(1);
    ASSERT_TRUE(walk.RunFolderJob(Folder("enc"), Folder("dec")));

    EXPECT_EQ(Tree("dec"), Tree("src"));
    for (const auto& [name, size] : files) {
        SCOPED_TRACE(name);
        const Bytes plain = ReadFile(dir_ / "src" / name);
        EXPECT_EQ(ReadFile(dir_ / "dec" / name), plain);
        if (size > 0) {
            EXPECT_NE(ReadFile(dir_ / "enc" / (name + ".jmw")), plain);
        }
    }
}

TEST_F(FolderWalkTest, FailuresNameThePathAndKeepTheFilesFinishedBefore) {
    struct Case {
        const char* what;
        std::vector<std::string> tree;
        std::string source;
        std::string target;
        std::string message;             // part of the error text
        std::vector<std::string> after;  // the target tree afterwards
    };
    const Case cases[] = {
        {"missing source", {"out/"}, "nothing", "out", "nothing/", {}},
        {"missing target", {"R/f"}, "R", "nowhere", "nowhere/", {}},
        {"no source chosen", {"out/"}, "", "out", "No source folder", {}},
        // A folder where a target file should go: the engine cannot create it.
        {"target name is a folder",
         {"R/a", "R/b", "out/b.jmw/"},
         "R",
         "out",
         "out/b.jmw",
         {"a.jmw", "b.jmw/"}},
        // A file where a target folder should go.
        {"target folder is a file",
         {"R/a", "R/S/s", "out/S"},
         "R",
         "out",
         "out/S/",
         {"S", "a.jmw"}},
    };
    jmi_.SetKeyFromPassword(u"fail", 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        MakeAll(c.tree);
        FolderWalk walk(fso_, jmi_, job_);
        const std::string source = c.source.empty() ? "" : Folder(c.source);
        try {
            walk.RunFolderJob(source, Folder(c.target));
            ADD_FAILURE() << "no error";
        } catch (const common::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        if (fs::exists(dir_ / c.target)) {
            EXPECT_EQ(Tree(c.target), c.after);
        }
    }
}

TEST_F(FolderWalkTest, JobSizeIsTheRealTotalOfAFileOrTreeAndZeroOnError) {
    // A sparse file of 3 GiB takes no room but counts with its full length.
    constexpr std::int64_t kBig = 3LL << 30;
    MakeAll({"T/a", "T/sub/b", "T/empty/"});
    fs::resize_file(dir_ / "T/sub/b", static_cast<std::uintmax_t>(kBig));
    EXPECT_EQ(FSmdcl::JobSize(fso_, (dir_ / "T/sub/b").string()), kBig);
    EXPECT_EQ(FSmdcl::JobSize(fso_, Folder("T")), kBig + 3);
    EXPECT_EQ(FSmdcl::JobSize(fso_, Folder("T/empty")), 0);
    EXPECT_EQ(FSmdcl::JobSize(fso_, Folder("missing")), 0);
    EXPECT_EQ(FSmdcl::JobSize(fso_, ""), 0);
    // The root of a mounted volume measures the volume's used space.
    const std::string volume = fso_.VolumeOf(dir_.string());
    EXPECT_GE(FSmdcl::JobSize(fso_, volume), 1);
}

// Runs `body` as an unprivileged user when the test runs as root (root lists every folder),
// in a child process; returns what `body` returned, or nothing when no user could be taken.
std::optional<std::string> RunUnprivileged(const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
        std::string out;
        try {
            out = body();
        } catch (const std::exception& e) {
            out = std::string("exception: ") + e.what();
        }
        const ssize_t written = ::write(fds[1], out.data(), out.size());
        ::_exit(written == static_cast<ssize_t>(out.size()) ? 0 : 4);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

TEST_F(FolderWalkTest, UnreadableFoldersAreSkippedButAnUnreadableSourceOrFileEndsTheJob) {
    MakeAll({"R/f", "R/A/g", "R/A/deep/h", "R/B/i", "out/", "S/x", "S/y", "out2/"});
    // The unprivileged user makes the target folders and files.
    for (const char* writable : {"", "out", "out2"}) {
        fs::permissions(dir_ / writable, fs::perms::all);
    }
    fs::permissions(dir_ / "R/A", fs::perms::none);
    fs::permissions(dir_ / "S/y", fs::perms::none);
    jmi_.SetKeyFromPassword(u"denied", 0);
    const std::optional<std::string> result = RunUnprivileged([this] {
        std::string out;
        FolderWalk walk = RecordingWalk();
        const bool completed = walk.RunFolderJob(Folder("R"), Folder("out"));
        out += completed ? "completed|" : "cancelled|";
        for (const std::string& s : SeenSources("R")) out += s + "|";
        for (const auto& s : walk.SkippedFolders()) out += "skipped " + s.message + "|";
        out += "size " + std::to_string(FSmdcl::JobSize(fso_, Folder("R"))) + "|";
        for (const auto& [src, dst] : {std::pair{"R/A", "out"}, {"S", "out2"}}) {
            try {
                FolderWalk(fso_, jmi_, job_).RunFolderJob(Folder(src), Folder(dst));
            } catch (const common::Error& e) {
                out += std::string("error ") + e.what() + "|";
            }
        }
        return out;
    });
    fs::permissions(dir_ / "R/A", fs::perms::owner_all);
    if (!result) {
        GTEST_SKIP() << "running as root, which reads every folder, and no other user could "
                        "be taken to run the walk";
    }
    const std::string unlistable = "Cannot list " + Folder("R/A") + ": Permission denied";
    EXPECT_EQ(*result, "completed|f|B/i|skipped " + unlistable + "|size 6|error " + unlistable +
                           "|error Cannot read " + Folder("S") + "y: permission denied.|");
    // The skipped folder is recreated empty; its own subfolder was never seen.
    EXPECT_EQ(Tree("out"), (std::vector<std::string>{"A/", "B/"}));
    // The file coded before the unreadable one stays; the unreadable one left nothing.
    EXPECT_EQ(Tree("out2"), (std::vector<std::string>{"x.jmw"}));
}

}  // namespace
}  // namespace velmora::frontend
