// velmora-cli as a program, stopped by signals in the middle of a file: what is left behind
// and the exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

class SignalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-signals-" + std::to_string(rd()));
        fs::create_directories(dir_ / "state");
    }
    void TearDown() override { fs::remove_all(dir_); }

    struct Child {
        pid_t pid = -1;
        int input = -1;  // the write end of the child's standard input
    };

    // Starts velmora-cli with `args`; its standard input is a pipe that holds `input`, left
    // open so that a prompt can wait on it. `fileLimit` > 0 sets a file-size limit.
    Child Start(const std::vector<std::string>& args, const std::string& input,
                rlim_t fileLimit = 0) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const std::string state = "XDG_STATE_HOME=" + (dir_ / "state").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(fds[0], 0);
            ::close(fds[0]);
            ::close(fds[1]);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (fileLimit > 0) {
                const rlimit limit{fileLimit, fileLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            std::vector<char*> argv{const_cast<char*>(VELMORA_CLI)};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            char* envp[] = {const_cast<char*>(state.c_str()), nullptr};
            ::execve(VELMORA_CLI, argv.data(), envp);
            ::_exit(127);
        }
        ::close(fds[0]);
        if (!input.empty()) {
            EXPECT_EQ(::write(fds[1], input.data(), input.size()), ssize_t(input.size()));
        }
        return {pid, fds[1]};
    }

    // Waits until `path` holds data or the child has ended; false when it ended first.
    bool WaitForData(const Child& child, const fs::path& folder) {
        for (int i = 0; i < 3000; ++i) {
            for (const auto& entry : fs::directory_iterator(folder)) {
                std::error_code ec;
                if (entry.path().filename().string().rfind(".velmora-unfinished-", 0) == 0 &&
                    fs::file_size(entry.path(), ec) > 1000000)
                    return true;
            }
            if (::waitpid(child.pid, nullptr, WNOHANG) == child.pid) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // Waits until a folder the child makes exists.
    static bool WaitForFolder(const fs::path& folder) {
        for (int i = 0; i < 3000 && !fs::exists(folder); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return fs::exists(folder);
    }

    // Waits until the child catches SIGINT and sleeps: it then waits in a read.
    static bool WaitUntilBlocked(const Child& child) {
        const std::string proc = "/proc/" + std::to_string(child.pid) + "/status";
        for (int i = 0; i < 3000; ++i) {
            std::ifstream in(proc);
            bool sleeping = false;
            bool catching = false;
            for (std::string line; std::getline(in, line);) {
                if (line.rfind("State:", 0) == 0) sleeping = line.find('S') != std::string::npos;
                if (line.rfind("SigCgt:", 0) == 0) {
                    catching = (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
                }
            }
            if (sleeping && catching) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // The exit status, or 1000 + the signal that killed the process.
    static int Finish(const Child& child) {
        ::close(child.input);
        int status = 0;
        ::waitpid(child.pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }

    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void WriteBig() const {
        std::ofstream out(dir_ / "big", std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (int i = 0; i < 50; ++i) out << block;
    }

    fs::path dir_;
};

TEST_F(SignalsTest, EveryCatchableTerminatingSignalRemovesTheUnfinishedFile) {
    WriteBig();
    fs::create_directory(dir_ / "out");
    const std::vector<std::string> args = {
        "encrypt", (dir_ / "big").string(), "-o", (dir_ / "out").string(), "--password-stdin",
        "-q"};
    for (const int signal :
         {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ, SIGXCPU}) {
        SCOPED_TRACE(strsignal(signal));
        const Child child = Start(args, "pw\n");
        ASSERT_TRUE(WaitForData(child, dir_ / "out"));
        ::kill(child.pid, signal);
        EXPECT_EQ(Finish(child), 128 + signal);
        EXPECT_EQ(FilesIn(dir_ / "out"), std::vector<std::string>{});
    }
}

TEST_F(SignalsTest, ASignalStopsEveryWorkerOfAFolderJob) {
    // Three workers inside big files of one tree, and small files finished before: the
    // signal removes every unfinished file, keeps the finished ones, and sets the status.
    fs::create_directories(dir_ / "tree/sub");
    for (const char* name : {"a", "b", "c", "sub/d"}) {
        std::ofstream out(dir_ / "tree" / name, std::ios::binary);
        const std::string block(1 << 20, name[0]);
        for (int i = 0; i < 40; ++i) out << block;
    }
    std::ofstream(dir_ / "tree/0small") << "small";
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(signal));
        fs::remove_all(dir_ / "out");
        const Child child =
            Start({"encrypt", (dir_ / "tree").string(), "-o", (dir_ / "out").string(), "--jobs",
                   "3", "--password-stdin", "-q"},
                  "pw\n");
        ASSERT_TRUE(WaitForFolder(dir_ / "out"));  // made by the plan
        ASSERT_TRUE(WaitForData(child, dir_ / "out"));
        ::kill(child.pid, signal);
        EXPECT_EQ(Finish(child), 128 + signal);
        EXPECT_EQ(FilesIn(dir_ / "out"), (std::vector<std::string>{"0small.jmw", "sub"}));
        EXPECT_EQ(FilesIn(dir_ / "out/sub"), std::vector<std::string>{});
    }
}

TEST_F(SignalsTest, AFileSizeLimitEndsTheRunLikeItsSignal) {
    WriteBig();
    const Child child =
        Start({"encrypt", (dir_ / "big").string(), "--password-stdin", "-q"}, "pw\n", 1000000);
    EXPECT_EQ(Finish(child), 128 + SIGXFSZ);
    EXPECT_EQ(FilesIn(dir_), (std::vector<std::string>{"big", "state"}));
}

TEST_F(SignalsTest, SigkillLeavesOnlyTheTemporaryFile) {
    WriteBig();
    fs::create_directory(dir_ / "out");
    const Child child = Start({"encrypt", (dir_ / "big").string(), "-o", (dir_ / "out").string(),
                               "--password-stdin", "-q"},
                              "pw\n");
    ASSERT_TRUE(WaitForData(child, dir_ / "out"));
    ::kill(child.pid, SIGKILL);
    EXPECT_EQ(Finish(child), 1000 + SIGKILL);
    const std::vector<std::string> left = FilesIn(dir_ / "out");
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind(".velmora-unfinished-", 0), 0u) << left[0];
}

TEST_F(SignalsTest, ASignalEndsAReadThatWaitsForAPasswordOrAKeyFile) {
    ASSERT_EQ(::mkfifo((dir_ / "key").c_str(), 0600), 0);
    std::ofstream(dir_ / "a") << "plain";
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const std::vector<Case> cases = {
        {"password line never sent", {"encrypt", (dir_ / "a").string(), "--password-stdin"}},
        {"FIFO key file without a writer",
         {"encrypt", (dir_ / "a").string(), "--password-file", (dir_ / "key").string()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Child child = Start(c.args, "");
        ASSERT_TRUE(WaitUntilBlocked(child));
        ::kill(child.pid, SIGINT);
        EXPECT_EQ(Finish(child), 130);
        EXPECT_FALSE(fs::exists(dir_ / "a.jmw"));
    }
    // A FIFO that gets its writer is a key file like any other.
    const Child child = Start(cases[1].args, "");
    ASSERT_TRUE(WaitUntilBlocked(child));
    std::ofstream(dir_ / "key") << "key bytes";
    EXPECT_EQ(Finish(child), 0);
    EXPECT_TRUE(fs::exists(dir_ / "a.jmw"));
}

}  // namespace
}  // namespace velmora::cli
