#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace velmora::frontend {

// Key files (password files and lock files) contribute at most their first 500000 bytes.
constexpr std::int64_t kKeyFileLimit = 500000;

// Reads the key material of a password file or lock file: its first bytes, at most
// `kKeyFileLimit`. An empty file gives an empty result (it provides no key material; the
// caller decides what that means). A file that cannot be read throws `common::Error`.
// A pipe is refused unless `pipes` is kWait: the window must never wait for a writer, while the
// command line reads `--password-file <(...)` and can be interrupted.
enum class Pipes { kRefuse, kWait };
std::vector<std::uint8_t> FmimaDuchu(const std::filesystem::path& path,
                                     Pipes pipes = Pipes::kRefuse);

}  // namespace velmora::frontend
