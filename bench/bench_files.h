#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace velmora::bench {

// The scratch folder of one benchmark binary, made on first use. Memory-backed by default, so
// the figures are the engine's and not the disk's metadata journal; VELMORA_BENCH_DIR picks
// another place. `tag` keeps the binaries' folders apart.
std::filesystem::path BenchFolder(const char* tag);

// A file of `size` bytes from a fixed pseudo-random sequence (the same bytes for one seed).
void WriteRandomFile(const std::filesystem::path& path, std::size_t size, std::uint32_t seed);

}  // namespace velmora::bench
