// The workers of a job on their own, with a stand-in for the engine: every file once, the
// first error and a stop reaching every worker, and the progress counts.

#include "parallel_job.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

#include "error.h"

namespace velmora::cli {
namespace {

std::vector<PlannedFile> Plan(int files) {
    std::vector<PlannedFile> plan;
    for (int i = 0; i < files; ++i) {
        plan.push_back({"src" + std::to_string(i), "out/", std::to_string(i),
                        "out/" + std::to_string(i), 1000});
    }
    return plan;
}

// A file that takes long: the engine asks its progress object until told to stop.
std::filesystem::path CodeUntilStopped(engine::JobContext& job) {
    while (job.Aclss->CFhz() != 0) std::this_thread::yield();
    return {};
}

struct Workers {
    explicit Workers(int count) : engines(static_cast<std::size_t>(count)) {
        for (engine::Jmi& e : engines) pointers.push_back(&e);
    }
    std::vector<engine::Jmi> engines;
    std::vector<engine::Jmi*> pointers;
};

TEST(RunOnWorkers, EveryFileIsCodedOnceAndCounted) {
    const std::vector<PlannedFile> plan = Plan(200);
    Workers workers(4);
    std::mutex mutex;
    std::multiset<std::string> coded, finished;
    std::set<std::thread::id> threads;
    JobProgress progress(nullptr, false, 200000, 200);
    const bool done = RunOnWorkers(
        plan, workers.pointers,
        [&](engine::Jmi&, const PlannedFile& file, engine::JobContext& job) {
            job.ProcessedTotal += static_cast<double>(file.size);
            job.Aclss->CFhz();
            std::lock_guard lock(mutex);
            coded.insert(file.name);
            threads.insert(std::this_thread::get_id());
            return std::filesystem::path(file.target);
        },
        [&](const PlannedFile& file, const std::filesystem::path&) { finished.insert(file.name); },
        progress, [] { return false; });
    EXPECT_TRUE(done);
    EXPECT_EQ(coded.size(), 200u);
    EXPECT_EQ(std::set<std::string>(coded.begin(), coded.end()).size(), 200u);
    EXPECT_EQ(finished, coded);
    EXPECT_EQ(progress.FilesDone(), 200);
    EXPECT_EQ(progress.BytesDone(), 200000);
}

TEST(RunOnWorkers, TheFirstErrorStopsEveryWorkerAndIsThrownOnce) {
    const std::vector<PlannedFile> plan = Plan(50);
    Workers workers(3);
    std::atomic<int> started{0}, stopped{0};
    JobProgress progress(nullptr, false, 50000, 50);
    try {
        RunOnWorkers(
            plan, workers.pointers,
            [&](engine::Jmi&, const PlannedFile& file, engine::JobContext& job) {
                ++started;
                // Two workers hold long files; the third fails on its first.
                if (file.name == "2") throw common::Error("Cannot read src2: bad sector.");
                const auto written = CodeUntilStopped(job);
                ++stopped;
                return written;
            },
            nullptr, progress, [] { return false; });
        ADD_FAILURE() << "the error was not thrown";
    } catch (const common::Error& e) {
        EXPECT_STREQ(e.what(), "Cannot read src2: bad sector.");
    }
    EXPECT_EQ(started.load(), 3);  // no file is started after the error
    EXPECT_EQ(stopped.load(), 2);
    EXPECT_EQ(progress.FilesDone(), 0);
}

TEST(RunOnWorkers, AStopEndsTheJobAtTheNextCheckOfEveryWorker) {
    const std::vector<PlannedFile> plan = Plan(50);
    Workers workers(2);
    std::atomic<bool> stop{false};
    std::atomic<int> finished{0};
    JobProgress progress(nullptr, false, 50000, 50);
    const bool done = RunOnWorkers(
        plan, workers.pointers,
        [&](engine::Jmi&, const PlannedFile& file, engine::JobContext& job) {
            if (file.name == "5") stop = true;  // a signal arrives
            if (std::stoi(file.name) >= 5) return CodeUntilStopped(job);
            return std::filesystem::path(file.target);
        },
        [&](const PlannedFile&, const std::filesystem::path&) { ++finished; }, progress,
        [&] { return stop.load(); });
    EXPECT_FALSE(done);
    EXPECT_GE(finished.load(), 4);  // the files before stay finished
    EXPECT_LE(finished.load(), 5);
}

TEST(JobProgress, TheLineShowsBytesFilesRateAndTimeLeft) {
    EXPECT_EQ(JobProgress::Line(512 << 20, 1 << 30, 3, 10, 2.0),
              "[############            ]  50%  512.0 MiB of 1.0 GiB  3 of 10 files  "
              "256.0 MiB/s  0:02 left");
    // Before half a second there is no rate to speak of; a finished job has no time left.
    EXPECT_EQ(JobProgress::Line(100, 1000, 0, 2, 0.1),
              "[##                      ]  10%  100 B of 1000 B  0 of 2 files");
    EXPECT_EQ(JobProgress::Line(1000, 1000, 2, 2, 1.0),
              "[########################] 100%  1000 B of 1000 B  2 of 2 files  1000 B/s");
    EXPECT_EQ(JobProgress::Line(0, 0, 0, 0, 0.0).substr(0, 31), "[########################] 100%");
}

}  // namespace
}  // namespace velmora::cli
