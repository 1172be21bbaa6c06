// A folder job of many small files against one file of the same total, as the window program
// runs them: progress window shown (here an in-process progress object), the job's total from
// JobSize, and for the folder job the walk with its CFhz after every file and every folder.
// The key is prepared before the clock starts, so the figures are the per-file costs.

#include <benchmark/benchmark.h>

#include "bench_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include "folder_walk.h"
#include "jmi.h"

namespace {

namespace fs = std::filesystem;
using velmora::engine::Jmi;
using velmora::engine::JobContext;
namespace FSmdcl = velmora::frontend::FSmdcl;

fs::path BenchFolder() {
    return velmora::bench::BenchFolder("velmora-walk-bench");
}

void WriteRandomFile(const fs::path& path, std::size_t size) {
    velmora::bench::WriteRandomFile(path, size, 11);
}

// The progress server's part in one process: every call answers at once.
class QuietProgress : public velmora::engine::ProgressObject {
  public:
    void CFmshow() override {}
    std::int32_t CFhz() override {
        ++polls;
        return 1;
    }
    void Cwjm(std::u16string&, std::u16string&) override {}
    void CpgbarV(std::int32_t& i) override { benchmark::DoNotOptimize(i); }
    void CFmunload() override {}
    std::int64_t polls = 0;
};

// A source folder of `files` files of `size` bytes, made once.
fs::path SourceFolder(int files, std::size_t size) {
    const fs::path folder =
        BenchFolder() / ("src" + std::to_string(files) + "x" + std::to_string(size));
    if (!fs::exists(folder)) {
        fs::create_directories(folder);
        for (int i = 0; i < files; ++i) WriteRandomFile(folder / std::to_string(i), size);
    }
    return folder;
}

Jmi KeyedEngine() {
    Jmi jmi({}, BenchFolder());
    jmi.EngineStartup();
    jmi.SeedTimeTable(std::vector<double>(20, 1.5));
    jmi.SetKeyFromPassword(u"bench", 0);
    jmi.ResetEngine();  // the key's warm-up, paid once per key
    return jmi;
}

void FreshFolder(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
}

// The folder job: JobSize, then RunFolderJob over the source folder into an empty target.
void BM_FolderJob1000FilesOf1KiB(benchmark::State& state) {
    const fs::path source = SourceFolder(1000, 1024);
    const fs::path target = BenchFolder() / "walk-out";
    Jmi jmi = KeyedEngine();
    QuietProgress progress;
    JobContext job;
    job.Aclss = &progress;
    job.FycVisible = 1;
    velmora::common::Fso fso;
    FSmdcl::FolderWalk walk(fso, jmi, job);
    walk.SetFolderDirection(0);
    for (auto _ : state) {
        state.PauseTiming();
        FreshFolder(target);
        state.ResumeTiming();
        job.ProcessedTotal = 0;
        job.Afl = FSmdcl::JobSize(fso, source.string() + "/");
        walk.RunFolderJob(source.string() + "/", target.string() + "/");
    }
    state.counters["CFhz per job"] =
        static_cast<double>(progress.polls) / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 1000 * 1024));
}
BENCHMARK(BM_FolderJob1000FilesOf1KiB)->Unit(benchmark::kMillisecond);

// The same 1000 files handed straight to EncryptFile: what the walk adds is the difference.
void BM_Files1000Of1KiBWithoutWalk(benchmark::State& state) {
    const fs::path source = SourceFolder(1000, 1024);
    const fs::path target = BenchFolder() / "direct-out";
    Jmi jmi = KeyedEngine();
    QuietProgress progress;
    JobContext job;
    job.Aclss = &progress;
    job.FycVisible = 1;
    job.Afl = 1000 * 1024;
    for (auto _ : state) {
        state.PauseTiming();
        FreshFolder(target);
        state.ResumeTiming();
        job.ProcessedTotal = 0;
        for (int i = 0; i < 1000; ++i) {
            const std::string name = std::to_string(i);
            jmi.EncryptFile(source / name, target / (name + ".jmw"), job);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 1000 * 1024));
}
BENCHMARK(BM_Files1000Of1KiBWithoutWalk)->Unit(benchmark::kMillisecond);

// One file of 1 MiB as a single-file job (above 300000 bytes, so the progress window shows).
void BM_OneFileOf1MiB(benchmark::State& state) {
    const fs::path source = SourceFolder(1, 1u << 20) / "0";
    const fs::path target = BenchFolder() / "one-out";
    Jmi jmi = KeyedEngine();
    QuietProgress progress;
    JobContext job;
    job.Aclss = &progress;
    job.FycVisible = 1;
    for (auto _ : state) {
        state.PauseTiming();
        FreshFolder(target);
        state.ResumeTiming();
        job.ProcessedTotal = 0;
        job.Afl = static_cast<std::int64_t>(fs::file_size(source));
        jmi.EncryptFile(source, target / "0.jmw", job);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (1 << 20)));
}
BENCHMARK(BM_OneFileOf1MiB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
    return 0;
}
