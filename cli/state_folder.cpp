#include "state_folder.h"

#include <cstdlib>
#include <system_error>

#include "error.h"

namespace velmora::cli {

std::filesystem::path StateFolder() {
    std::filesystem::path base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".local" / "state";
    } else {
        throw common::Error(
            "Neither XDG_STATE_HOME nor HOME is set: no place for the noise state.");
    }
    const std::filesystem::path folder = base / "velmora";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        throw common::Error("Cannot create the state folder " + folder.string() + ": " +
                            ec.message() + ".");
    }
    return folder;
}

}  // namespace velmora::cli
