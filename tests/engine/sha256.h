#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velmora::test {

// Lower-case hex SHA-256 of a byte string; the reference vectors identify large tables by it.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace velmora::test
