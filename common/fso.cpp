#include "fso.h"

#include <filesystem>
#include <system_error>

namespace velmora::common {

namespace fs = std::filesystem;

bool Fso::fileexists(const std::string& path) const {
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

bool Fso::folderexists(const std::string& path) const {
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
}

}  // namespace velmora::common
