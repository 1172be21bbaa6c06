#pragma once

#include <cstdint>
#include <string>

namespace tools {

// Creates the program's shared file-system object; the launcher calls it once at load.
void CreateFso();
// 1 when `path` names an existing file (not a folder), else 0.
int32_t WenJianCunZai(const std::string& path);

}  // namespace tools
