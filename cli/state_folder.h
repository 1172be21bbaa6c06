#pragma once

#include <filesystem>

namespace velmora::cli {

// Where the command line keeps the noise generator's state ("ZGDcsh.lib"):
// $XDG_STATE_HOME/velmora, by default ~/.local/state/velmora. Created when missing, so the
// state never lands in whatever folder a script happens to run in.
std::filesystem::path StateFolder();

}  // namespace velmora::cli
