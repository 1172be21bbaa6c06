// The command line's file jobs, run in process: names, key sources, checks that come before
// any file is touched, and Ctrl-C.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "cli_errors.h"
#include "error.h"
#include "file_job.h"
#include "interrupt.h"
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
    struct Case {
        const char* name;
        std::function<void(JobOptions&)> set;
        bool usage;
    };
    const std::vector<Case> cases = {
        {"missing source after a good one", [&](JobOptions& o) { o.sources.push_back(P("nope")); },
         false},
        {"folder as source", [&](JobOptions& o) { o.sources.push_back(P("out")); }, false},
        {"missing output folder", [&](JobOptions& o) { o.outputFolder = P("no/such"); }, false},
        {"empty key file",
         [&](JobOptions& o) { o.passwordStdin = false, o.lockFile = P("empty.key"); }, false},
        {"unreadable key file",
         [&](JobOptions& o) { o.passwordStdin = false, o.passwordFile = P("gone.key"); }, false},
        {"two key sources", [&](JobOptions& o) { o.passwordFile = P("a"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JobOptions options;
        options.sources = {P("a")};
        options.passwordStdin = true;
        StdinPassword("pw\n");
        c.set(options);
        if (c.usage) {
            EXPECT_THROW(Run(options, Direction::Encrypt), UsageError);
        } else {
            EXPECT_THROW(Run(options, Direction::Encrypt), common::Error);
        }
        EXPECT_FALSE(fs::exists(P("a.jmw")));
        EXPECT_FALSE(fs::exists(dir_ / "ZGDcsh.lib"));
    }
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
