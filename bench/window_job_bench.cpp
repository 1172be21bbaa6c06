// The main window's job path (RunJob: key, JobSize, progress window, walk or single file,
// noise state saved) for a folder of 1000 files of 1 KiB against one file of 1 MiB, with the
// progress object in process and, when a session bus with a registered pellorin is there
// (run it under dbus-run-session), with the real progress server: every CFhz, Cwjm and
// CpgbarV then crosses the bus.
//
//   XDG_DATA_HOME=$(mktemp -d) build/progress_server/pellorin --regserver   (same XDG_DATA_HOME)
//   QT_QPA_PLATFORM=offscreen dbus-run-session -- build/bench/window_job_bench

#include <benchmark/benchmark.h>

#include "bench_files.h"

#include <QCoreApplication>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

#include "main_job.h"
#include "progress_client.h"

namespace {

namespace fs = std::filesystem;
using velmora::engine::ProgressObject;
namespace frontend = velmora::frontend;

fs::path BenchFolder() {
    return velmora::bench::BenchFolder("velmora-window-bench");
}

void WriteRandomFile(const fs::path& path, std::size_t size) {
    velmora::bench::WriteRandomFile(path, size, 5);
}

class QuietProgress : public ProgressObject {
  public:
    void CFmshow() override {}
    std::int32_t CFhz() override { return 1; }
    void Cwjm(std::u16string&, std::u16string&) override {}
    void CpgbarV(std::int32_t& i) override { benchmark::DoNotOptimize(i); }
    void CFmunload() override {}
};

// The window's part of a job: hide, show and the two displays.
class BenchWindow : public frontend::JobWindow {
  public:
    explicit BenchWindow(frontend::MainState& s) : s_(s) {}
    void Fyc() override {
        s_.FycVisible = 1;
        s_.Aclss->CFmshow();
    }
    void Fxs() override {
        s_.FycVisible = 0;
        s_.Aclss->CFmunload();
    }
    void ShowTarget(const std::string&) override {}
    void ShowElapsed(float) override {}
    void ClearPasswords() override {}
    void Notice(const std::string& text) override { failure = text; }
    std::string failure;

  private:
    frontend::MainState& s_;
};

std::unique_ptr<ProgressObject> MakeProgress(bool bus) {
    if (!bus) return std::make_unique<QuietProgress>();
    return std::make_unique<frontend::ProgressClient>();
}

void RunJobs(benchmark::State& state, bool bus, bool folder) {
    std::unique_ptr<ProgressObject> progress;
    try {
        progress = MakeProgress(bus);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const fs::path root = BenchFolder();
    const fs::path source = root / (folder ? "tree" : "one");
    if (!fs::exists(source)) {
        fs::create_directories(source);
        if (folder) {
            for (int i = 0; i < 1000; ++i) WriteRandomFile(source / std::to_string(i), 1024);
        } else {
            WriteRandomFile(source / "big", 1u << 20);
        }
    }
    velmora::engine::Jmi jmi({}, root);
    jmi.EngineStartup();
    velmora::common::Fso fso;
    frontend::MainState s;
    s.Aclss = progress.get();
    s.A = folder ? 1 : 0;
    s.Ab = s.Ac = 1;
    s.Yw = folder ? source.string() + "/" : (source / "big").string();
    s.Ywb = "big";
    s.Amb = (root / "out").string() + "/";
    std::vector<std::uint8_t> Amwb;
    frontend::JobInput input;
    input.password = u"bench";
    frontend::JobServices services{jmi, fso};
    BenchWindow window(s);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
        state.ResumeTiming();
        frontend::RunJob(0, s, Amwb, input, services, window);
    }
    if (!window.failure.empty()) state.SkipWithError(window.failure.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}

void BM_WindowFolderJob1000x1KiB_InProcess(benchmark::State& state) {
    RunJobs(state, false, true);
}
void BM_WindowOneFile1MiB_InProcess(benchmark::State& state) {
    RunJobs(state, false, false);
}
void BM_WindowFolderJob1000x1KiB_Pellorin(benchmark::State& state) {
    RunJobs(state, true, true);
}
void BM_WindowOneFile1MiB_Pellorin(benchmark::State& state) {
    RunJobs(state, true, false);
}
BENCHMARK(BM_WindowFolderJob1000x1KiB_InProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowOneFile1MiB_InProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowFolderJob1000x1KiB_Pellorin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowOneFile1MiB_Pellorin)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the bus connection wants an application object
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
    return 0;
}
