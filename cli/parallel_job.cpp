#include "parallel_job.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "progress_object.h"

namespace velmora::cli {

namespace {

// What the workers of one job share: the next file, the stop flag and the first error.
struct Shared {
    Shared(const std::vector<PlannedFile>& p, const CodeFile& c, const FileFinished& f,
           JobProgress& pr, const std::function<bool()>& s)
        : plan(p), code(c), finished(f), progress(pr), stop(s) {}

    const std::vector<PlannedFile>& plan;
    const CodeFile& code;
    const FileFinished& finished;
    JobProgress& progress;
    const std::function<bool()>& stop;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> halted{false};
    std::mutex mutex;
    std::exception_ptr firstError;

    bool Halted() {
        if (!halted.load() && stop()) halted = true;
        return halted.load();
    }
};

// A worker's progress object: its engine's checks ask the job's stop flag, and the bytes its
// engine counts go to the job's bar.
class WorkerProgress : public engine::ProgressObject {
  public:
    WorkerProgress(Shared& shared, engine::JobContext& job) : shared_(shared), job_(job) {}

    void CFmshow() override {}
    std::int32_t CFhz() override {
        Report();
        return shared_.Halted() ? 0 : 1;
    }
    void Cwjm(std::u16string&, std::u16string&) override {}
    void CpgbarV(std::int32_t&) override { Report(); }
    void CFmunload() override {}

  private:
    void Report() {
        const auto total = static_cast<std::int64_t>(job_.ProcessedTotal);
        shared_.progress.AddBytes(total - reported_);
        reported_ = total;
    }

    Shared& shared_;
    engine::JobContext& job_;
    std::int64_t reported_ = 0;
};

void Work(Shared& shared, engine::Jmi& engine) {
    engine::JobContext job;
    WorkerProgress progress(shared, job);
    job.FycVisible = 1;
    job.Aclss = &progress;
    for (;;) {
        if (shared.Halted()) return;
        const std::size_t index = shared.next++;
        if (index >= shared.plan.size()) return;
        const PlannedFile& file = shared.plan[index];
        job.Afl = file.size;
        try {
            const std::filesystem::path written = shared.code(engine, file, job);
            if (written.empty()) return;  // stopped inside the file
            std::lock_guard lock(shared.mutex);
            shared.progress.FileDone();
            if (shared.finished) shared.finished(file, written);
        } catch (...) {
            std::lock_guard lock(shared.mutex);
            if (!shared.firstError) shared.firstError = std::current_exception();
            shared.halted = true;
            return;
        }
    }
}

}  // namespace

std::int64_t FileSizeOrZero(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

bool RunOnWorkers(const std::vector<PlannedFile>& plan, const std::vector<engine::Jmi*>& engines,
                  const CodeFile& code, const FileFinished& finished, JobProgress& progress,
                  const std::function<bool()>& stop) {
    Shared shared(plan, code, finished, progress, stop);
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < engines.size() && i < plan.size(); ++i) {
        try {
            threads.emplace_back([&shared, engine = engines[i]] { Work(shared, *engine); });
        } catch (const std::system_error&) {
            break;  // fewer workers: the job still runs
        }
    }
    if (!engines.empty()) Work(shared, *engines[0]);
    for (std::thread& thread : threads) thread.join();
    progress.Finish();
    if (shared.firstError) std::rethrow_exception(shared.firstError);
    return !shared.halted.load();
}

}  // namespace velmora::cli
