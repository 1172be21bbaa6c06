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
std::vector<std::uint8_t> FmimaDuchu(const std::filesystem::path& path);

}  // namespace velmora::frontend
