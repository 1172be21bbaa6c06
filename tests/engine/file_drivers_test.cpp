// Whole files: block shapes, progress reports, cancels and I/O failures.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <set>

#include "engine_fixture.h"
#include "error.h"
#include "file_io.h"

namespace velmora::test {
namespace {

// Caps the size of the files this process writes until it goes out of scope: a write past the
// cap fails (EFBIG, SIGXFSZ being ignored) as it would on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        if (set_) setrlimit(RLIMIT_FSIZE, &old_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Set() const { return set_; }

  private:
    rlimit old_{};
    bool set_ = false;
};

class FileDriversTest : public EngineTest {
  protected:
    struct Encrypted {
        int blocks;                             // each block adds its size to the job total
        std::vector<std::int32_t> percentages;  // every percentage sent, in order
        std::size_t firstBlock;
    };
    // Encrypts `plain` with a shown progress window.
    Encrypted EncryptCountingBlocks(engine::Jmi& jmi, const Bytes& plain) {
        WriteFile(Path("src"), plain);
        std::filesystem::remove(Path("src.jmw"));
        ProgressDouble progress(job_);
        job_ = {static_cast<std::int64_t>(plain.size()), 1, &progress, 0.0};
        jmi.SetKeyFromPassword(u"blocks", 0);
        jmi.EncryptFile(Path("src"), Path("src.jmw"), job_);
        EXPECT_EQ(job_.ProcessedTotal, static_cast<double>(plain.size()));
        std::set<double> totals(progress.totalsAtReport.begin(), progress.totalsAtReport.end());
        totals.erase(0.0);
        return {static_cast<int>(totals.size()), progress.percentages,
                totals.empty() ? 0 : static_cast<std::size_t>(*totals.begin())};
    }
    // Decrypts with a shown progress window, which counts every stored byte consumed.
    Bytes Decrypt(const std::filesystem::path& cipher, const std::string& outName) {
        std::filesystem::remove(Path(outName));
        ProgressDouble progress(job_);
        job_ = {1, 1, &progress, 0.0};
        jmi_.SetKeyFromPassword(u"blocks", 1);
        jmi_.DecryptFile(cipher, Path(outName), job_);
        EXPECT_EQ(job_.ProcessedTotal, static_cast<double>(std::filesystem::file_size(cipher)));
        return ReadFile(Path(outName));
    }
};

TEST_F(FileDriversTest, BlockShapesFollowTheSmallestLastBlockRule) {
    // The first block's size, 5000000..5000999, depends on the noise: a copy of the engine
    // in the same state measures it on a file that surely has two blocks.
    auto firstBlock = [this] {
        engine::Jmi probe = jmi_;
        const Bytes big = Pattern(7000000);
        const Encrypted e = EncryptCountingBlocks(probe, big);
        EXPECT_EQ(e.blocks, 2);
        return e.firstBlock;
    };
    struct Case {
        std::size_t size;  // 0: the first block plus exactly 1000000
        int blocks;
        std::vector<std::int32_t> percentages;  // empty: not checked
    };
    // 5999000: any first block would leave less than 1000000, so one block. 6000999 and
    // 7000000 always leave at least 1000000: two blocks; so does a rest of exactly 1000000.
    // Percentages come every 300000 data bytes and after each block, rounded half to even.
    const std::vector<Case> cases = {
        {5999000, 1, {5,  10, 15, 20, 25, 30, 35, 40, 45, 50,
                      55, 60, 65, 70, 75, 80, 85, 90, 95, 100}},
        {6000999, 2, {5,  10, 15, 20, 25, 30, 35, 40, 45, 50, 55,
                      60, 65, 70, 75, 80, 83, 88, 93, 98, 100}},
        {7000000, 2, {4,  9,  13, 17, 21, 26, 30, 34, 39, 43, 47, 51,
                      56, 60, 64, 69, 71, 76, 80, 84, 89, 93, 97, 100}},
        {0, 2, {}},
    };
    for (const Case& c : cases) {
        const std::size_t size = c.size != 0 ? c.size : firstBlock() + 1000000;
        SCOPED_TRACE(size);
        const Bytes plain = Pattern(size, 13, 1);
        const Encrypted e = EncryptCountingBlocks(jmi_, plain);
        EXPECT_EQ(e.blocks, c.blocks);
        if (!c.percentages.empty()) {
            EXPECT_EQ(e.percentages, c.percentages);
        }
        EXPECT_EQ(Decrypt(Path("src.jmw"), "back"), plain);
    }
}

TEST_F(FileDriversTest, SmallAndEmptyFilesRoundTrip) {
    for (std::size_t size : {0u, 1u, 2u, 35u, 300000u, 300001u}) {
        SCOPED_TRACE(size);
        const Bytes plain = Pattern(size);
        EXPECT_EQ(RoundTripFile(plain, u"small"), plain);
    }
}

TEST_F(FileDriversTest, EncryptedFilesOfOneToThreeBytesDecryptToNothing) {
    jmi_.SetKeyFromPassword(u"x", 1);
    for (std::size_t size : {1u, 2u, 3u}) {
        const std::string name = "tiny" + std::to_string(size);
        WriteFile(Path(name), Pattern(size));
        jmi_.DecryptFile(Path(name), Path(name + ".out"), job_);
        EXPECT_TRUE(std::filesystem::exists(Path(name + ".out")));
        EXPECT_EQ(std::filesystem::file_size(Path(name + ".out")), 0u);
    }
}

TEST_F(FileDriversTest, ProgressGoesOnlyToAShownWindow) {
    WriteFile(Path("src"), Pattern(700000));
    ProgressDouble progress(job_);
    job_ = {700000, 0, &progress, 0.0};
    jmi_.SetKeyFromPassword(u"p", 0);
    jmi_.EncryptFile(Path("src"), Path("hidden.jmw"), job_);
    EXPECT_EQ(progress.polls + progress.percentages.size(), 0u);

    job_ = {700000, 1, &progress, 0.0};
    jmi_.EncryptFile(Path("src"), Path("shown.jmw"), job_);
    EXPECT_EQ(progress.source, Path("src").u16string());
    EXPECT_EQ(progress.target, Path("shown.jmw").u16string());
    // Two polls inside the block, just past 300000 and 600000 data bytes (42.9 and 85.7
    // percent, whatever the run lengths), and one after it.
    EXPECT_EQ(progress.polls, 3);
    EXPECT_EQ(progress.percentages, std::vector<std::int32_t>({43, 86, 100}));
    EXPECT_EQ(job_.ProcessedTotal, 700000.0);
}

TEST_F(FileDriversTest, ZeroJobTotalCountsAsOne) {
    WriteFile(Path("src"), Pattern(400000));
    ProgressDouble progress(job_);
    job_ = {0, 1, &progress, 0.0};
    jmi_.SetKeyFromPassword(u"p", 0);
    jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
    EXPECT_EQ(progress.percentages.back(), 40000000);
}

TEST_F(FileDriversTest, CancelledEncryptionKeepsWholeBlocks) {
    const Bytes plain = Pattern(12500000, 5, 9);
    WriteFile(Path("src"), plain);
    ProgressDouble progress(job_);
    job_ = {static_cast<std::int64_t>(plain.size()), 1, &progress, 0.0};
    jmi_.SetKeyFromPassword(u"blocks", 0);
    // Polls per block: 16 inside (every 300000 data bytes of ~5000000) and one after it.
    progress.cancelAtPoll = 18;
    jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
    ASSERT_EQ(progress.totalsAtReport.size() > 0, true);
    const auto firstBlock = static_cast<std::size_t>(job_.ProcessedTotal);
    EXPECT_GE(firstBlock, 5000000u);
    EXPECT_LE(firstBlock, 5000999u);
    const Bytes back = Decrypt(Path("src.jmw"), "back");
    EXPECT_EQ(back, Bytes(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(firstBlock)));
}

TEST_F(FileDriversTest, CancelInsideTheFirstBlockLeavesAnEmptyTarget) {
    WriteFile(Path("src"), Pattern(2000000));
    ProgressDouble progress(job_);
    job_ = {2000000, 1, &progress, 0.0};
    progress.cancelAtPoll = 1;
    jmi_.SetKeyFromPassword(u"blocks", 0);
    jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
    EXPECT_EQ(std::filesystem::file_size(Path("src.jmw")), 0u);
    EXPECT_TRUE(progress.percentages.empty());
}

TEST_F(FileDriversTest, CancelledDecryptionKeepsThePlaintextOfWholeChunks) {
    const Bytes plain = Pattern(13000000, 3, 4);
    WriteFile(Path("src"), plain);
    jmi_.SetKeyFromPassword(u"blocks", 0);
    jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);

    ProgressDouble progress(job_);
    job_ = {13000000, 1, &progress, 0.0};
    jmi_.SetKeyFromPassword(u"blocks", 1);
    // A chunk of 5000360 stored bytes has 16 polls inside and one after it.
    progress.cancelAtPoll = 18;
    jmi_.DecryptFile(Path("src.jmw"), Path("back"), job_);
    const Bytes back = ReadFile(Path("back"));
    ASSERT_GT(back.size(), 4000000u);
    ASSERT_LT(back.size(), 5000360u);
    EXPECT_EQ(back, Bytes(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(back.size())));
}

TEST_F(FileDriversTest, FailuresCreateOrLeaveNothing) {
    WriteFile(Path("src"), Pattern(1000));
    WriteFile(Path("taken"), {1, 2, 3});
    jmi_.SetKeyFromPassword(u"e", 0);
    struct Case {
        const char* name;
        std::filesystem::path source;
        std::filesystem::path target;
    };
    const std::vector<Case> cases = {
        {"missing source", Path("nope"), Path("nope.jmw")},
        {"folder as source", dir_, Path("dir.jmw")},
        {"missing target folder", Path("src"), Path("no/such/folder/src.jmw")},
        {"target exists", Path("src"), Path("taken")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(jmi_.EncryptFile(c.source, c.target, job_), common::Error);
        EXPECT_THROW(jmi_.DecryptFile(c.source, c.target, job_), common::Error);
        if (c.target != Path("taken")) {
            EXPECT_FALSE(std::filesystem::exists(c.target));
        }
    }
    EXPECT_EQ(ReadFile(Path("taken")), Bytes({1, 2, 3}));
}

TEST_F(FileDriversTest, NewFilesTakeTheSourcesPermissionBitsWithinTheUmask) {
    struct Case {
        unsigned source;
        unsigned umask;
        unsigned target;
    };
    const unsigned saved = ::umask(022);
    jmi_.SetKeyFromPassword(u"p", 0);
    for (const Case c : {Case{0600, 022, 0600}, Case{0644, 022, 0644}, Case{0755, 022, 0755},
                         Case{0644, 077, 0600}}) {
        SCOPED_TRACE(std::to_string(c.source) + " under umask " + std::to_string(c.umask));
        ::umask(c.umask);
        std::filesystem::remove(Path("src.jmw"));
        std::filesystem::remove(Path("back"));
        WriteFile(Path("src"), Pattern(100));
        std::filesystem::permissions(Path("src"), std::filesystem::perms(c.source));
        jmi_.SetKeyFromPassword(u"p", 0);
        jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
        jmi_.SetKeyFromPassword(u"p", 1);
        jmi_.DecryptFile(Path("src.jmw"), Path("back"), job_);
        for (const char* name : {"src.jmw", "back"}) {
            const auto perms = std::filesystem::status(Path(name)).permissions();
            EXPECT_EQ(static_cast<unsigned>(perms), c.target) << name;
        }
    }
    ::umask(saved);
}

TEST_F(FileDriversTest, TakenNamesMoveOnAndCancelsFollowTheCallersRule) {
    WriteFile(Path("src"), Pattern(2000));
    std::filesystem::create_directory(Path("t"));
    std::filesystem::create_symlink(Path("nowhere"), Path("1t"));
    engine::TargetChoice choice{[this](const std::set<std::string>& taken) {
                                    std::filesystem::path candidate = Path("t");
                                    for (int i = 1; taken.count(candidate.string()) != 0; ++i)
                                        candidate = Path(std::to_string(i) + "t");
                                    return candidate;
                                },
                                engine::OnCancel::RemovePartial};
    jmi_.SetKeyFromPassword(u"p", 0);
    EXPECT_EQ(jmi_.EncryptFile(Path("src"), choice, job_), Path("2t"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("t")));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("1t")));
    // A name chosen beforehand is never replaced, not even a dangling link.
    EXPECT_THROW(jmi_.EncryptFile(Path("src"), Path("1t"), job_), common::Error);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("1t")));

    ProgressDouble progress(job_);
    job_ = {2000, 1, &progress, 0.0};
    progress.cancelAtPoll = 1;
    EXPECT_EQ(jmi_.EncryptFile(Path("src"), choice, job_), std::filesystem::path());
    choice.Cancel = engine::OnCancel::KeepPartial;
    EXPECT_EQ(jmi_.EncryptFile(Path("src"), choice, job_), Path("3t"));
    EXPECT_EQ(std::filesystem::file_size(Path("3t")), 0u);
    // Nothing else is left behind, no temporary file in particular.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>({"1t", "2t", "3t", "ZGDcsh.lib", "src", "t"}));
}

TEST_F(FileDriversTest, DecryptionNeedsNoCurrentDirectory) {
    WriteFile(Path("src"), Pattern(500));
    jmi_.SetKeyFromPassword(u"p", 0);
    jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::create_directory(Path("gone"));
    std::filesystem::current_path(Path("gone"));
    std::filesystem::remove(Path("gone"));
    try {
        engine::Jmi engine;  // the state folder defaults to the current directory
        engine.SetKeyFromPassword(u"p", 1);
        engine.DecryptFile(Path("src.jmw"), Path("back"), job_);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
    std::filesystem::current_path(home);
    EXPECT_EQ(ReadFile(Path("back")), Pattern(500));
}

TEST_F(FileDriversTest, WriteFailureRemovesThePartialTarget) {
    WriteFile(Path("src"), Pattern(7000000));
    jmi_.SetKeyFromPassword(u"e", 0);
    {
        // The second block's write fails, as on a full disk.
        const FileSizeLimit limit(6000000);
        ASSERT_TRUE(limit.Set());
        try {
            jmi_.EncryptFile(Path("src"), Path("src.jmw"), job_);
            ADD_FAILURE() << "the write failure was not reported";
        } catch (const common::Error& e) {
            EXPECT_NE(std::string(e.what()).find("src.jmw"), std::string::npos) << e.what();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(Path("src.jmw")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);  // src, state
}

TEST_F(FileDriversTest, WriteFailureOnTheThirdBlockRemovesThePartialTarget) {
    // Blocks are written behind the coding on a second thread; a full disk on the third block
    // (here a file-size limit between two and three blocks of output) must still end the
    // operation with the target's name and leave no partial target.
    const Bytes plain = Pattern(16000000, 9, 2);
    WriteFile(Path("src"), plain);
    jmi_.SetKeyFromPassword(u"third", 0);
    jmi_.EncryptFile(Path("src"), Path("cipher"), job_);
    struct Case {
        const char* name;
        std::int32_t direction;
        std::filesystem::path source;
    };
    for (const Case& c : {Case{"encrypt", 0, Path("src")}, Case{"decrypt", 1, Path("cipher")}}) {
        SCOPED_TRACE(c.name);
        jmi_.SetKeyFromPassword(u"third", c.direction);
        {
            const FileSizeLimit limit(12000000);
            ASSERT_TRUE(limit.Set());
            try {
                if (c.direction == 0) {
                    jmi_.EncryptFile(c.source, Path("target"), job_);
                } else {
                    jmi_.DecryptFile(c.source, Path("target"), job_);
                }
                ADD_FAILURE() << "the write failure was not reported";
            } catch (const common::Error& e) {
                EXPECT_NE(std::string(e.what()).find("target"), std::string::npos) << e.what();
            }
        }
        EXPECT_FALSE(std::filesystem::exists(Path("target")));
    }
}

TEST_F(FileDriversTest, OffsetsPastTwoGibibytesAreRead) {
    const std::int64_t size = (std::int64_t{1} << 31) + 100;
    {
        std::ofstream sparse(Path("big"), std::ios::binary);
        sparse.seekp(size - 4);
        sparse.write("\x01\x02\x03\x04", 4);
    }
    engine::InputFile in(Path("big"));
    EXPECT_EQ(in.Size(), size);
    Bytes buffer;
    in.ReadExactly(size - 6, 6, buffer);
    EXPECT_EQ(buffer, Bytes({0, 0, 1, 2, 3, 4}));
    EXPECT_THROW(in.ReadExactly(size - 2, 6, buffer), common::Error);
}

}  // namespace
}  // namespace velmora::test
