#include "fso.h"

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "error.h"

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

namespace {

std::vector<std::string> Entries(const std::string& folder, bool want_folders) {
    std::error_code ec;
    std::vector<std::string> names;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) throw Error("Cannot list " + folder + ": " + ec.message());
    for (const auto& entry : it) {
        std::error_code type_ec;
        bool is_folder = entry.is_directory(type_ec);
        bool is_file = entry.is_regular_file(type_ec);
        if (want_folders ? is_folder : is_file) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> Fso::SubFolders(const std::string& folder) const {
    return Entries(folder, true);
}

std::vector<std::string> Fso::Files(const std::string& folder) const {
    return Entries(folder, false);
}

int64_t Fso::FolderSize(const std::string& folder) const {
    std::error_code ec;
    int64_t total = 0;
    fs::recursive_directory_iterator it(fs::path(folder),
                                        fs::directory_options::skip_permission_denied, ec);
    if (ec) throw Error("Cannot read " + folder + ": " + ec.message());
    for (auto end = fs::recursive_directory_iterator(); it != end; it.increment(ec)) {
        if (ec) throw Error("Cannot read " + folder + ": " + ec.message());
        std::error_code size_ec;
        if (it->is_regular_file(size_ec)) {
            auto size = it->file_size(size_ec);
            if (!size_ec) total += static_cast<int64_t>(size);
        }
    }
    return total;
}

std::string Fso::GetAbsolutePathName(const std::string& path) const {
    std::error_code ec;
    auto abs = fs::absolute(fs::path(path), ec);
    if (ec) throw Error("Cannot resolve " + path + ": " + ec.message());
    return abs.lexically_normal().string();
}

std::string Fso::VolumeOf(const std::string& path) const {
    fs::path p = fs::path(GetAbsolutePathName(path));
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) throw Error("Cannot read " + path);
    // Walk up while the parent is on the same device; the last such folder is the mount root.
    fs::path root = p;
    while (root.has_parent_path() && root.parent_path() != root) {
        struct stat parent {};
        if (::stat(root.parent_path().c_str(), &parent) != 0 || parent.st_dev != st.st_dev) break;
        root = root.parent_path();
    }
    std::string text = root.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

int64_t Fso::UsedSpace(const std::string& path) const {
    std::error_code ec;
    auto info = fs::space(fs::path(path), ec);
    if (ec) throw Error("Cannot read the volume of " + path + ": " + ec.message());
    return static_cast<int64_t>(info.capacity - info.free);
}

void Fso::CreateFolder(const std::string& path) const {
    std::error_code ec;
    if (!fs::create_directory(fs::path(path), ec) || ec) {
        throw Error("Cannot create the folder " + path + (ec ? ": " + ec.message() : ""));
    }
}

std::string Fso::GetFile(const std::string& path) const {
    if (!fileexists(path)) throw Error("File not found: " + path);
    return GetAbsolutePathName(path);
}

}  // namespace velmora::common
