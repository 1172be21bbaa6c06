#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::common {

// The file-system object the windows and the folder walk share. Paths are UTF-8 strings with
// "/" as the separator; folder paths may or may not end in "/".
class Fso {
  public:
    // True for an existing regular file (or a link to one); false for a folder.
    bool fileexists(const std::string& path) const;
    bool folderexists(const std::string& path) const;

    // Names (not paths) of the subfolders / files directly in `folder`, sorted by name so that
    // every walk and every list sees the same order. An unreadable folder throws Error.
    std::vector<std::string> SubFolders(const std::string& folder) const;
    std::vector<std::string> Files(const std::string& folder) const;
    // Total bytes of the files in the tree below `folder`.
    int64_t FolderSize(const std::string& folder) const;
    // Absolute, lexically normalised form of `path`.
    std::string GetAbsolutePathName(const std::string& path) const;
    // Root path ("/"-terminated) of the mounted volume that holds `path`.
    std::string VolumeOf(const std::string& path) const;
    // Used bytes of the volume holding `path`: its total minus its free bytes.
    int64_t UsedSpace(const std::string& path) const;
    // Creates one folder (its parent must exist); throws Error when that fails.
    void CreateFolder(const std::string& path) const;
    // Fetches an existing file: its absolute path; throws Error when it is not a file.
    std::string GetFile(const std::string& path) const;
};

}  // namespace velmora::common
