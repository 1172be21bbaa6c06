#pragma once

#include <string>

namespace velmora::common {

// The file-system object the windows and the folder walk share. Paths are UTF-8 strings with
// "/" as the separator; folder paths may or may not end in "/".
class Fso {
public:
    // True for an existing regular file (or a link to one); false for a folder.
    bool fileexists(const std::string& path) const;
    bool folderexists(const std::string& path) const;
};

}  // namespace velmora::common
