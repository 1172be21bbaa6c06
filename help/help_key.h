#pragma once

#include <array>
#include <cstdint>

namespace velmora::help {

// The help file's key: the four words that replace table entries 0 to 3 when the keystream
// starts, and the constant mixed into every draw that is not a header draw. A help file is
// readable only by a build with these same values, so they live here and nowhere else; changing
// one means every shipped "Help.lib" has to be rebuilt (the build does that by itself).
constexpr std::array<int32_t, 4> kHelpStartWords = {31847, 60293, 17509, 84461};
constexpr int32_t kHelpMixWord = 52973;

}  // namespace velmora::help
