// The command line's file jobs, run in process: names, key sources, checks that come before
// any file is touched, and Ctrl-C.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "cli_errors.h"
#include "error.h"
#include "file_job.h"
#include "interrupt.h"
#include "password_prompt.h"
#include "utf16le.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class FileJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-cli-" + std::to_string(rd()));
        fs::create_directories(dir_ / "out");
        env_.stateFolder = dir_;
        env_.report = nullptr;
        env_.progressOut = stderr;
        env_.timer = [] { return 1234.5f; };
        SetInterruptedForTesting(0);
    }
    void TearDown() override {
        SetInterruptedForTesting(0);
        if (env_.passwordInput != stdin) std::fclose(env_.passwordInput);
        fs::remove_all(dir_);
    }

    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Standard input holding `text` for --password-stdin.
    void StdinPassword(const std::string& text) {
        if (env_.passwordInput != stdin) std::fclose(env_.passwordInput);
        env_.passwordInput = std::tmpfile();
        std::fputs(text.c_str(), env_.passwordInput);
        std::rewind(env_.passwordInput);
    }
    std::vector<fs::path> Run(JobOptions options, Direction direction) {
        return RunFileJob(options, direction, env_);
    }
    std::vector<std::string> FilesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    static Bytes Pattern(std::size_t n) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        return b;
    }

    fs::path dir_;
    JobEnvironment env_;
};

TEST_F(FileJobTest, EncryptsIntoTheSourceFolderOrTheOutputFolderAndBack) {
    Write("a.txt", Pattern(1000));
    Write("b.bin", {});
    JobOptions enc;
    enc.sources = {P("a.txt"), P("b.bin")};
    enc.passwordStdin = true;
    StdinPassword("secret\n");
    auto targets = Run(enc, Direction::Encrypt);
    EXPECT_EQ(targets, (std::vector<fs::path>{P("a.txt.jmw"), P("b.bin.jmw")}));
    EXPECT_EQ(fs::file_size(P("b.bin.jmw")), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "ZGDcsh.lib"), 160u);

    StdinPassword("secret\r\n");  // a line ending of either kind is not part of the password
    targets = Run(enc, Direction::Encrypt);
    EXPECT_EQ(targets, (std::vector<fs::path>{P("1a.txt.jmw"), P("1b.bin.jmw")}));

    JobOptions dec;
    dec.sources = {P("a.txt.jmw"), P("1a.txt.jmw"), P("b.bin.jmw")};
    dec.outputFolder = P("out");
    dec.passwordStdin = true;
    StdinPassword("secret");
    Run(dec, Direction::Decrypt);
    EXPECT_EQ(FilesIn("out"), (std::vector<std::string>{"1a.txt", "a.txt", "b.bin"}));
    EXPECT_EQ(Read("out/a.txt"), Pattern(1000));
    EXPECT_EQ(Read("out/1a.txt"), Pattern(1000));
    EXPECT_TRUE(Read("out/b.bin").empty());
}

TEST_F(FileJobTest, KeyFilesStandForTheirFirst500000Bytes) {
    Write("plain", Pattern(5000));
    // The UTF-16LE bytes of a password are that password as a key file.
    Write("password.key", common::Utf16LeBytes(u"密码 key"));
    Bytes longKey = Pattern(600000);
    Write("long1.key", longKey);
    longKey[550000] ^= 0xFF;  // differs only past the first 500000 bytes
    Write("long2.key", longKey);

    struct Case {
        const char* name;
        std::function<void(JobOptions&)> encryptKey;
        std::function<void(JobOptions&)> decryptKey;
    };
    const std::vector<Case> cases = {
        {"password, then its password file",
         [&](JobOptions& o) { o.passwordStdin = true, StdinPassword("密码 key\n"); },
         [&](JobOptions& o) { o.passwordFile = P("password.key"); }},
        {"lock files equal in their first 500000 bytes",
         [&](JobOptions& o) { o.lockFile = P("long1.key"); },
         [&](JobOptions& o) { o.passwordFile = P("long2.key"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "out");
        fs::create_directory(dir_ / "out");
        JobOptions enc;
        enc.sources = {P("plain")};
        enc.outputFolder = P("out");
        c.encryptKey(enc);
        Run(enc, Direction::Encrypt);
        JobOptions dec;
        dec.sources = {P("out/plain.jmw")};
        c.decryptKey(dec);
        Run(dec, Direction::Decrypt);
        EXPECT_EQ(Read("out/plain"), Pattern(5000));
    }
}

TEST_F(FileJobTest, BadCommandsCreateNothing) {
    Write("a", Pattern(10));
    Write("empty.key", {});
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0600), 0);
    fs::create_symlink(P("nowhere"), P("dangling"));
    struct Case {
        const char* name;
        std::function<void(JobOptions&)> set;
        bool usage;
        std::string message;  // what the message must say
    };
    const std::vector<Case> cases = {
        {"missing source after a good one", [&](JobOptions& o) { o.sources.push_back(P("nope")); },
         false, P("nope") + " does not exist"},
        {"dangling link as source", [&](JobOptions& o) { o.sources.push_back(P("dangling")); },
         false, P("dangling") + " does not exist"},
        {"FIFO as source after a good one", [&](JobOptions& o) { o.sources.push_back(P("fifo")); },
         false, P("fifo") + " is not a regular file"},
        {"output folder that is a file", [&](JobOptions& o) { o.outputFolder = P("a"); }, false,
         P("a") + " is not a folder"},
        {"empty key file",
         [&](JobOptions& o) { o.passwordStdin = false, o.lockFile = P("empty.key"); }, false,
         P("empty.key")},
        {"unreadable key file",
         [&](JobOptions& o) { o.passwordStdin = false, o.passwordFile = P("gone.key"); }, false,
         P("gone.key")},
        {"two key sources", [&](JobOptions& o) { o.passwordFile = P("a"); }, true,
         "one key source"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobOptions options;
        options.sources = {P("a")};
        options.passwordStdin = true;
        StdinPassword("pw\n");
        c.set(options);
        try {
            Run(options, Direction::Encrypt);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& e) {
            EXPECT_TRUE(c.usage) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        } catch (const common::Error& e) {
            EXPECT_FALSE(c.usage) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(P("a.jmw")));
        EXPECT_FALSE(fs::exists(dir_ / "ZGDcsh.lib"));
    }
}

TEST_F(FileJobTest, PasswordLines) {
    struct Case {
        const char* name;
        std::string input;
        const char* password;  // null: refused as a usage error
    };
    const std::vector<Case> cases = {
        {"LF", "secret\n", "secret"},
        {"CR LF", "secret\r\n", "secret"},
        {"last line without an ending", "secret", "secret"},
        {"only the first line", "one\ntwo\n", "one"},
        {"empty line is the empty password", "\n", ""},
        {"UTF-8", "密码 🔑\n", "密码 🔑"},
        {"no line at all", "", nullptr},
        {"invalid byte", "\xff\n", nullptr},
        {"encoded surrogate", "a\xed\xa0\x80\n", nullptr},
        {"overlong slash", "\xc0\xaf\n", nullptr},
        {"cut sequence", "\xe5\xaf\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StdinPassword(c.input);
        if (c.password == nullptr) {
            EXPECT_THROW(ReadPasswordLine(env_.passwordInput), UsageError);
        } else {
            EXPECT_EQ(ReadPasswordLine(env_.passwordInput), c.password);
        }
    }
    // A refused line creates nothing.
    Write("a", Pattern(10));
    JobOptions options;
    options.sources = {P("a")};
    options.passwordStdin = true;
    StdinPassword("\xfe\n");
    EXPECT_THROW(Run(options, Direction::Encrypt), UsageError);
    EXPECT_FALSE(fs::exists(P("a.jmw")));
}

TEST_F(FileJobTest, NamesTakenByAFolderOrADanglingLinkAreSkipped) {
    Write("a", Pattern(10));
    fs::create_directory(dir_ / "a.jmw");
    fs::create_symlink(P("nowhere"), P("1a.jmw"));
    JobOptions options;
    options.sources = {P("a")};
    options.passwordStdin = true;
    StdinPassword("pw\n");
    EXPECT_EQ(Run(options, Direction::Encrypt), std::vector<fs::path>{P("2a.jmw")});
    EXPECT_TRUE(fs::is_symlink(P("1a.jmw")));
}

TEST_F(FileJobTest, TwoRunsWritingTheSameNamesIntoOneFolderAllSucceed) {
    Write("a", Pattern(100));
    Write("key", Pattern(64));
    constexpr int kRuns = 40;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            std::FILE* names = std::fopen(P("names" + std::to_string(child)).c_str(), "w");
            for (int run = 0; run < kRuns && status == 0; ++run) {
                JobOptions options;
                options.sources = {P("a")};
                options.outputFolder = P("out");
                options.lockFile = P("key");
                try {
                    for (const fs::path& target : RunFileJob(options, Direction::Encrypt, env_))
                        std::fprintf(names, "%s\n", target.c_str());
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "run %d: %s\n", run, e.what());
                    status = 1;
                }
            }
            std::fclose(names);
            ::_exit(status);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    std::set<std::string> reported;
    for (const char* names : {"names0", "names1"}) {
        std::ifstream in(dir_ / names);
        for (std::string line; std::getline(in, line);) reported.insert(line);
    }
    // 2 x 40 distinct names reported and 80 files present: nothing was overwritten.
    EXPECT_EQ(reported.size(), 2u * kRuns);
    EXPECT_EQ(FilesIn("out").size(), 2u * kRuns);
    JobOptions dec;
    dec.sources = {P("out/a.jmw"), P("out/79a.jmw")};
    dec.outputFolder = P("out");
    dec.lockFile = P("key");
    Run(dec, Direction::Decrypt);
    EXPECT_EQ(Read("out/a"), Pattern(100));
    EXPECT_EQ(Read("out/79a"), Pattern(100));
}

TEST_F(FileJobTest, InterruptRemovesOnlyTheFileInHand) {
    Write("first", Pattern(1000));
    Write("second", Pattern(3000000));
    // The engine reads the timer when it starts each file: once the first target exists,
    // the user "presses Ctrl-C" while the second file runs.
    env_.timer = [this] {
        if (fs::exists(dir_ / "first.jmw")) SetInterruptedForTesting(SIGINT);
        return 1.0f;
    };
    JobOptions options;
    options.sources = {P("first"), P("second")};
    options.passwordStdin = true;
    StdinPassword("pw\n");
    EXPECT_THROW(Run(options, Direction::Encrypt), Cancelled);
    EXPECT_TRUE(fs::exists(P("first.jmw")));
    EXPECT_FALSE(fs::exists(P("second.jmw")));
}

}  // namespace
}  // namespace velmora::cli
