// Speed of the engine against a bare key-stream loop, and the cost of many small files.
//
// The cipher is a serial byte generator: each byte's table index comes from the previous
// byte's sum, so one dependency chain per byte sets the pace. The bare loop below is that
// chain alone (one step, XOR and feedback per byte); the file drivers are measured against it.

#include <benchmark/benchmark.h>

#include "bench_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include "jmi.h"

namespace {

namespace fs = std::filesystem;
using velmora::engine::Jmi;

constexpr std::size_t kBigFile = 64u << 20;

fs::path BenchFolder() {
    return velmora::bench::BenchFolder("velmora-bench");
}

void WriteRandomFile(const fs::path& path, std::size_t size) {
    velmora::bench::WriteRandomFile(path, size, 7);
}

std::vector<std::uint8_t> KeyFileBytes() {
    std::vector<std::uint8_t> key(500000);
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i * i + 3 * i);
    return key;
}

// The noise is fixed: a constant timer in a state folder that starts empty. Every run then
// codes the same segments, so runs can be compared; the file's `FillModulus` (4 to 30, the
// filler steps it asks for) comes out at 17, the middle of its range.
Jmi StartedEngine() {
    Jmi jmi([] { return 18000.0f; }, BenchFolder());
    jmi.EngineStartup();
    jmi.SeedTimeTable(std::vector<double>(20, 1.5));
    return jmi;
}

// The reference: one key-stream step per byte written the straightforward way (sum, reduce
// by repeated subtraction, then index and output byte from the reduced value), XOR and
// feedback, over a buffer in memory.
void BM_BareReferenceLoop(benchmark::State& state) {
    Jmi jmi;
    jmi.SetKeyFromPassword(u"bench", 0);
    jmi.ResetEngine();
    std::vector<std::uint8_t> buffer(kBigFile, 0x5A);
    for (auto _ : state) {
        velmora::engine::KeyStream& st = jmi.Stream;
        const std::int32_t* key = jmi.KeyTable.data();
        const std::int32_t keyLast = jmi.KeyLast;
        std::int32_t stateWord = st.StreamState, index = st.StreamIndex, keyPos = st.StreamKeyPos;
        std::int32_t cycle = st.StreamCycle, lastOut = st.StreamLastOut;
        std::uint8_t fb = 0;
        for (std::uint8_t& b : buffer) {
            if (++keyPos > keyLast) keyPos = 0;
            if (++cycle > 1000) cycle = 0;
            std::int32_t v =
                st.StreamTable[index] + stateWord + cycle + key[keyPos] + index + lastOut + fb;
            while (v > 900000000) v -= 900000000;
            stateWord = v;
            st.StreamTable[index] = v;
            index = v % 1000;
            lastOut = v % 256;
            b ^= static_cast<std::uint8_t>(lastOut);
            fb = b;
        }
        st.StreamState = stateWord, st.StreamIndex = index, st.StreamKeyPos = keyPos;
        st.StreamCycle = cycle, st.StreamLastOut = static_cast<std::uint8_t>(lastOut);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigFile));
}
BENCHMARK(BM_BareReferenceLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same loop with the engine's own step.
void BM_BareKeyStreamLoop(benchmark::State& state) {
    Jmi jmi;
    jmi.SetKeyFromPassword(u"bench", 0);
    jmi.ResetEngine();
    std::vector<std::uint8_t> buffer(kBigFile, 0x5A);
    for (auto _ : state) {
        velmora::engine::KeyStreamCursor ks(jmi.Stream, jmi.KeyTable.data(), jmi.KeyLast);
        std::uint8_t fb = 0;
        for (std::uint8_t& b : buffer) {
            b ^= ks.Next(fb);
            fb = b;
        }
        ks.Save();
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigFile));
}
BENCHMARK(BM_BareKeyStreamLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The codec alone, on one block in memory: what the drivers add on top of it is file I/O.
void BM_EncodeBlockInMemory(benchmark::State& state) {
    Jmi started = StartedEngine();
    started.SetKeyFromPassword(u"bench", 0);
    Jmi jmi = started;
    std::vector<std::uint8_t> block(5000000, 0x33);
    velmora::engine::JobContext job;
    for (auto _ : state) {
        state.PauseTiming();
        jmi = started;  // the same noise every time
        jmi.ResetEngine();
        state.ResumeTiming();
        benchmark::DoNotOptimize(jmi.EncodeBlock(block, 1, 0, job).data());
    }
    state.counters["FillModulus"] = jmi.FillModulus;
    state.counters["StoredPerByte"] = static_cast<double>(jmi.OutLength) / block.size();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_EncodeBlockInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeBlockInMemory(benchmark::State& state) {
    Jmi jmi = StartedEngine();
    jmi.SetKeyFromPassword(u"bench", 0);
    jmi.ResetEngine();
    std::vector<std::uint8_t> block(5000000, 0x33);
    velmora::engine::JobContext job;
    const auto encoded = jmi.EncodeBlock(block, 1, 0, job);
    const std::vector<std::uint8_t> cipher(encoded.begin(), encoded.end());
    jmi.KeyDirection = 1;
    for (auto _ : state) {
        jmi.ResetEngine();
        benchmark::DoNotOptimize(jmi.DecodeBlock(cipher, 1, 0, job).data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_DecodeBlockInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EncryptFile64MiB(benchmark::State& state) {
    const fs::path source = BenchFolder() / "big";
    const fs::path target = BenchFolder() / "big.jmw";
    if (!fs::exists(source)) WriteRandomFile(source, kBigFile);
    Jmi started = StartedEngine();
    started.SetKeyFromPassword(u"bench", 0);
    Jmi jmi = started;
    velmora::engine::JobContext job;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(target);
        jmi = started;  // the same noise every time
        state.ResumeTiming();
        jmi.EncryptFile(source, target, job);
    }
    state.counters["FillModulus"] = jmi.FillModulus;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigFile));
}
BENCHMARK(BM_EncryptFile64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecryptFile64MiB(benchmark::State& state) {
    const fs::path source = BenchFolder() / "big";
    const fs::path encrypted = BenchFolder() / "big.enc";
    const fs::path target = BenchFolder() / "big.out";
    if (!fs::exists(source)) WriteRandomFile(source, kBigFile);
    Jmi jmi = StartedEngine();
    velmora::engine::JobContext job;
    if (!fs::exists(encrypted)) {
        jmi.SetKeyFromPassword(u"bench", 0);
        jmi.EncryptFile(source, encrypted, job);
    }
    jmi.SetKeyFromPassword(u"bench", 1);
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(target);
        state.ResumeTiming();
        jmi.DecryptFile(encrypted, target, job);
    }
    state.counters["FillModulus"] = jmi.FillModulus;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBigFile));
}
BENCHMARK(BM_DecryptFile64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1 GiB file from disk to disk (page cache warm), against the coder in memory in the same
// run. Needs 3 GiB in the folder named by VELMORA_BENCH_DISK_DIR; without it these two are
// not registered.
constexpr std::int64_t kDiskFile = std::int64_t{1} << 30;

fs::path DiskFolder() {
    const char* dir = std::getenv("VELMORA_BENCH_DISK_DIR");
    return dir == nullptr ? fs::path() : fs::path(dir) / "velmora-bench-disk";
}

// The source (and its encryption) are made once and read once, so the page cache holds them.
void PrepareDiskFiles(Jmi& jmi) {
    const fs::path folder = DiskFolder();
    fs::create_directories(folder);
    const fs::path plain = folder / "plain", cipher = folder / "cipher";
    if (!fs::exists(plain) || fs::file_size(plain) != static_cast<std::uintmax_t>(kDiskFile)) {
        std::ofstream out(plain, std::ios::binary | std::ios::trunc);
        std::vector<char> chunk(1 << 20);
        std::mt19937 gen(3);
        for (std::int64_t done = 0; done < kDiskFile; done += chunk.size()) {
            for (char& b : chunk) b = static_cast<char>(gen());
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        }
    }
    velmora::engine::JobContext job;
    if (!fs::exists(cipher)) {
        jmi.SetKeyFromPassword(u"bench", 0);
        jmi.EncryptFile(plain, cipher, job);
    }
    for (const fs::path& p : {plain, cipher}) {
        std::ifstream in(p, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()))) {
        }
    }
}

// Codes the prepared 1 GiB file from disk to disk: direction 0 encrypts "plain", 1 decrypts
// "cipher".
void CodeDiskFile(benchmark::State& state, std::int32_t direction) {
    Jmi jmi = StartedEngine();
    PrepareDiskFiles(jmi);
    const fs::path source = DiskFolder() / (direction == 0 ? "plain" : "cipher");
    const fs::path target = DiskFolder() / "target";
    jmi.SetKeyFromPassword(u"bench", direction);
    velmora::engine::JobContext job;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(target);
        state.ResumeTiming();
        if (direction == 0) {
            jmi.EncryptFile(source, target, job);
        } else {
            jmi.DecryptFile(source, target, job);
        }
    }
    fs::remove(target);
    state.SetBytesProcessed(state.iterations() * kDiskFile);
}

void BM_EncryptFile1GiBOnDisk(benchmark::State& state) {
    CodeDiskFile(state, 0);
}

void BM_DecryptFile1GiBOnDisk(benchmark::State& state) {
    CodeDiskFile(state, 1);
}

// One job with a 500000-byte key file: 1000 files of 1 KiB against one file of 1 MiB. The
// key is prepared once per job, as the window program and the command line do.
void EncryptFiles(benchmark::State& state, int files, std::size_t size, bool wholeJob) {
    const fs::path folder = BenchFolder() / ("set" + std::to_string(files));
    fs::create_directories(folder);
    for (int i = 0; i < files; ++i) {
        const fs::path p = folder / std::to_string(i);
        if (!fs::exists(p)) WriteRandomFile(p, size);
    }
    Jmi jmi = StartedEngine();
    jmi.SetKeyFromBytes(KeyFileBytes(), 0);
    jmi.ResetEngine();  // the key's warm-up, paid once per key
    velmora::engine::JobContext job;
    std::vector<fs::path> sources, targets;
    for (int i = 0; i < files; ++i) {
        sources.push_back(folder / std::to_string(i));
        targets.push_back(folder / (std::to_string(i) + ".jmw"));
    }
    const std::vector<std::uint8_t> key = KeyFileBytes();
    for (auto _ : state) {
        state.PauseTiming();
        for (const fs::path& target : targets) fs::remove(target);
        state.ResumeTiming();
        // A whole job, as the window program runs one: key preparation, then every file.
        if (wholeJob) jmi.SetKeyFromBytes(key, 0);
        for (int i = 0; i < files; ++i) jmi.EncryptFile(sources[i], targets[i], job);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files * size));
}

void BM_Job1000FilesOf1KiB(benchmark::State& state) {
    EncryptFiles(state, 1000, 1024, true);
}
BENCHMARK(BM_Job1000FilesOf1KiB)->Unit(benchmark::kMillisecond);

void BM_JobOneFileOf1MiB(benchmark::State& state) {
    EncryptFiles(state, 1, 1u << 20, true);
}
BENCHMARK(BM_JobOneFileOf1MiB)->Unit(benchmark::kMillisecond);

// The files alone, with the key prepared and warmed up before the clock starts.
void BM_Files1000Of1KiB(benchmark::State& state) {
    EncryptFiles(state, 1000, 1024, false);
}
BENCHMARK(BM_Files1000Of1KiB)->Unit(benchmark::kMillisecond);

void BM_FilesOneOf1MiB(benchmark::State& state) {
    EncryptFiles(state, 1, 1u << 20, false);
}
BENCHMARK(BM_FilesOneOf1MiB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!DiskFolder().empty()) {
        for (auto* bench :
             {benchmark::RegisterBenchmark("BM_EncryptFile1GiBOnDisk", BM_EncryptFile1GiBOnDisk),
              benchmark::RegisterBenchmark("BM_DecryptFile1GiBOnDisk", BM_DecryptFile1GiBOnDisk)}) {
            bench->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(BenchFolder(), ec);
    return 0;
}
