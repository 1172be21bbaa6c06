#include "bench_files.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace velmora::bench {

namespace fs = std::filesystem;

fs::path BenchFolder(const char* tag) {
    static const fs::path folder = [tag] {
        fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        if (const char* dir = std::getenv("VELMORA_BENCH_DIR")) base = dir;
        fs::path f = base / (std::string(tag) + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

void WriteRandomFile(const fs::path& path, std::size_t size, std::uint32_t seed) {
    std::vector<char> bytes(size);
    std::mt19937 gen(seed);
    for (char& b : bytes) b = static_cast<char>(gen());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

}  // namespace velmora::bench
